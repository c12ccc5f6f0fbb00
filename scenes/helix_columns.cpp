#include "scenes/scenes.h"

// Placeholder until the scene lands.
void drawHelixColumns() {}

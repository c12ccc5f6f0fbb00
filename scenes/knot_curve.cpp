#include "scenes/scenes.h"

// Placeholder until the scene lands.
void drawKnotCurve(float, float, float) {}

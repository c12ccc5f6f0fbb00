#include "render/overlay.h"

// Placeholder: the overlay lands with the picture services.
void beginOrtho2D() {}
void endOrtho2D() {}
void drawLetterbox() {}

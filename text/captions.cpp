#include "text/captions.h"

// Placeholder: the captions land with the picture services.
void drawPlainCaption(float, float, int, int, const char*) {}
void drawFadingCaption(float, float, int, int, const char*) {}
void drawBlackout(float, float) {}
void drawFinalFade(float) {}
void drawOverlayCaptions() {}
void drawBlackoutCaptions() {}

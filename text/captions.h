#pragma once

void drawPlainCaption(float start, float end, int x, int y, const char* text);
void drawFadingCaption(float start, float end, int x, int y, const char* text);
void drawBlackout(float start, float end);
void drawFinalFade(float start);

// Frame steps: the caption list over the scene, then the black-outs with their captions.
void drawOverlayCaptions();
void drawBlackoutCaptions();

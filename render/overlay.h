#pragma once

// Switch to and from the 640 x 480 virtual screen with its origin at the top left (y down,
// depth range -1 near to 1 far). beginOrtho2D pushes and replaces both matrices and leaves the
// model-view matrix current; endOrtho2D pops both. No other state changes; no nesting.
void beginOrtho2D();
void endOrtho2D();

// The black bars of the top and bottom 140 of the 480 units, drawn with the blending and depth
// test the frame has at that point; leaves the current colour white. In a culled frame whose
// bars hide their rows (barsHideTheirRows), with blending and the scissor test off, the rows
// they cover whole are cleared to the same black instead.
void drawLetterbox();

#pragma once

// Switch to and from the 640 x 480 virtual screen with its origin at the top left.
void beginOrtho2D();
void endOrtho2D();

// The black bars of the top and bottom 140 of the 480 units; leaves the colour white.
void drawLetterbox();

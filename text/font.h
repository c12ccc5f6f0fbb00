#pragma once

// Builds the display lists of the two character sets from the glyph atlas in fontTexture.
void buildFont();

// One line of text with its first glyph's lower-left corner at (x, y) on the 640 x 480
// virtual screen (origin bottom left); set 0 or 1 (greater is taken as 1); scale 1 = 16 units.
void printText(int x, int y, const char* text, int set, float scale);

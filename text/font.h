#pragma once

// The first of the 256 consecutive display lists of the font: list FontListBase + g draws cell
// g of the atlas (cells 0-127 are character set 0, 128-255 set 1). Set by buildFont.
extern unsigned int FontListBase;

// Builds the display lists of the two character sets from the glyph atlas in fontTexture, a
// 16 x 16 grid of cells with cell 0 at s 0..1/16, t 15/16..1 and rows running down in t. Each
// list draws a 16 x 16 quad at the pen and moves the pen 16 units to the right.
void buildFont();

// One line of text with its first glyph's lower-left corner at (x, y) on the 640 x 480
// virtual screen (origin bottom left, y up); set 0 or 1 (greater is taken as 1, negative as 0);
// scale 1 = 16 units per glyph. Byte c draws atlas cell 128 * set + c - 32; a byte with no
// cell (below 32 in set 0, 160 and above in set 1) draws nothing and does not move the pen. Uses
// the caller's colour and blending; leaves the depth test enabled, 2D texturing disabled,
// fontTexture bound and both matrices as they were.
void printText(int x, int y, const char* text, int set, float scale);

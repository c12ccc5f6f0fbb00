#pragma once

// One cell of the glyph atlas: its texture rectangle.
struct Glyph {
    float s0;
    float s1;
    float tBottom;
    float tTop;
};

// The 256 cells of the font: glyph g is cell g of the atlas (cells 0-127 are character set 0,
// 128-255 set 1). Filled by buildFont.
inline constexpr int kGlyphCount = 256;
extern Glyph FontGlyphs[kGlyphCount];

// Fills the glyph table from the layout of the atlas in fontTexture, a 16 x 16 grid of cells
// with cell 0 at s 0..1/16, t 15/16..1 and rows running down in t. Each glyph is a 16 x 16 quad
// at the pen, after which the pen moves 16 units to the right.
void buildFont();

// One line of text with its first glyph's lower-left corner at (x, y) on the 640 x 480
// virtual screen (origin bottom left, y up); set 0 or 1 (greater is taken as 1, negative as 0);
// scale 1 = 16 units per glyph. Byte c draws atlas cell 128 * set + c - 32; a byte with no
// cell (below 32 in set 0, 160 and above in set 1) draws nothing and does not move the pen. Uses
// the caller's colour and blending; leaves the depth test enabled, texturing disabled,
// fontTexture bound and both matrices as they were.
void printText(int x, int y, const char* text, int set, float scale);

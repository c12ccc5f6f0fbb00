#pragma once
#include <string>

#include "tools/content_image.h"

// The glyph atlas of the bitmap font: 256 x 256 RGBA, 16 x 16 cells of 16 x 16 texels, each
// side `scale` times as long in the larger atlases (the glyphs rendered at the larger size).
// Cells 0..127 are character set 0 (dark glyphs on white, opaque), cells 128..255 set 1
// (white glyphs on black, alpha = glyph coverage). Character c of set k lies in cell
// c - 32 + 128 k, for the printable characters 32..126. Cell g sits in column g mod 16 and
// row g div 16, rows counted from the bottom of the file; the whole grid, glyphs included,
// is stored upside down, because the texture loader puts the file's top row at t = 0.
inline constexpr int kFontAtlasSize = 256;
inline constexpr int kFontCellSize = 16;
inline constexpr const char* kFontAtlasFont =
    "/usr/share/fonts/truetype/dejavu/DejaVuSansMono-Bold.ttf";

bool makeFontAtlas(const char* fontPath, int scale, Image* atlas, std::string* error);

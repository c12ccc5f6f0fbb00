#pragma once
#include <cstdint>
#include <string>
#include <vector>

// Anti-aliased glyphs from a TrueType font through FreeType.
struct GlyphFont;

// Opens the font file at a pixel size (the em height), its glyphs drawn `outlineScale` times
// larger than hinted at that size. Null, with the reason in `error`, when FreeType cannot load
// it.
GlyphFont* openGlyphFont(const char* path, int pixelSize, int outlineScale, std::string* error);
void closeGlyphFont(GlyphFont* font);

// One rendered glyph: coverage 0..255, rows from the top; `left` and `top` place the bitmap
// relative to the pen position on the baseline (top is up, as FreeType gives it).
struct GlyphBitmap {
    int width = 0;
    int rows = 0;
    int left = 0;
    int top = 0;
    int advance = 0; // whole pixels
    std::vector<std::uint8_t> coverage;
};

// Renders the glyph of one character. False when the font cannot render it.
bool renderGlyph(GlyphFont* font, unsigned char character, GlyphBitmap* glyph);

#include "tools/font_atlas.h"

#include "tools/glyph_raster.h"

namespace {

// The em height in texels at scale 1, and where the baseline sits in a cell (texels from its
// top): capitals reach about ten texels above it, descenders three or four below.
constexpr int kGlyphPixelSize = 14;
constexpr int kBaselineFromCellTop = 12;

struct CharacterSet {
    int firstCell;
    // Texel of the ground and of full ink, RGBA.
    std::uint8_t ground[4];
    std::uint8_t ink[4];
};

constexpr CharacterSet kSets[] = {
    {0, {255, 255, 255, 255}, {0, 0, 0, 255}},
    {128, {0, 0, 0, 0}, {255, 255, 255, 255}},
};

// The ground of a cell. The last row of set 0 (cells 112..127, no printable character) takes
// set 1's ground: it borders set 1's first row (the space, the punctuation), whose glyphs a
// filtered, minified atlas would otherwise fringe with set 0's white along their edge.
const std::uint8_t* groundOf(const int cell) {
    constexpr int kRowBesideSet1 = 112;
    return cell >= kRowBesideSet1 ? kSets[1].ground : kSets[0].ground;
}

void fillCell(Image* atlas, int cellSize, int cell, const std::uint8_t* ground) {
    const int x0 = (cell % 16) * cellSize;
    const int y0 = (cell / 16) * cellSize;
    for (int y = y0; y < y0 + cellSize; ++y) {
        for (int x = x0; x < x0 + cellSize; ++x) {
            for (int c = 0; c < 4; ++c) {
                atlas->at(x, y)[c] = ground[c];
            }
        }
    }
}

// Draws the glyph upright into cell `cell` of an atlas at `scale` whose cell rows run from the
// top.
void drawGlyphInCell(Image* atlas, int scale, int cell, const GlyphBitmap& glyph,
                     const CharacterSet& set) {
    const int cellSize = kFontCellSize * scale;
    const int x0 = (cell % 16) * cellSize;
    const int y0 = (cell / 16) * cellSize;
    const int penX = (cellSize - glyph.advance) / 2;
    for (int row = 0; row < glyph.rows; ++row) {
        const int y = kBaselineFromCellTop * scale - glyph.top + row;
        for (int column = 0; column < glyph.width; ++column) {
            const int x = penX + glyph.left + column;
            if (x < 0 || x >= cellSize || y < 0 || y >= cellSize) {
                continue; // the few texels that would spill into a neighbour are dropped
            }
            const int amount = glyph.coverage[static_cast<std::size_t>(row) * glyph.width + column];
            std::uint8_t* texel = atlas->at(x0 + x, y0 + y);
            for (int c = 0; c < 4; ++c) {
                texel[c] = static_cast<std::uint8_t>(
                    (set.ground[c] * (255 - amount) + set.ink[c] * amount + 127) / 255);
            }
        }
    }
}

} // namespace

bool makeFontAtlas(const char* fontPath, const int scale, Image* atlas, std::string* error) {
    GlyphFont* font = openGlyphFont(fontPath, kGlyphPixelSize, scale, error);
    if (!font) {
        return false;
    }
    Image upright = makeImage(kFontAtlasSize * scale, kFontAtlasSize * scale, 4, 0);
    bool ok = true;
    for (const CharacterSet& set : kSets) {
        for (int cell = set.firstCell; cell < set.firstCell + 128; ++cell) {
            fillCell(&upright, kFontCellSize * scale, cell, groundOf(cell));
        }
        for (int character = 32; character <= 126 && ok; ++character) {
            GlyphBitmap glyph;
            if (!renderGlyph(font, static_cast<unsigned char>(character), &glyph)) {
                *error = "the font cannot render character " + std::to_string(character);
                ok = false;
                break;
            }
            drawGlyphInCell(&upright, scale, set.firstCell + character - 32, glyph, set);
        }
    }
    closeGlyphFont(font);
    if (ok) {
        *atlas = flipRows(upright);
    }
    return ok;
}

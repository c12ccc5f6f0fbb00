#include "tests/content/content_test_support.h"

namespace {

// The texels of glyph cell g, found the way the font's display lists address it: the cell
// covers s0..s1 and tBottom..tTop, and the texture loader puts file row y at
// t = (y + 0.5) / height.
struct CellTexels {
    int x0, x1; // columns [x0, x1)
    int y0, y1; // file rows [y0, y1); y1 - 1 is the glyph's top as seen on screen
};

CellTexels cellTexels(const Image& atlas, int g) {
    const float s0 = static_cast<float>(g % 16) * 0.0625f;
    const float s1 = s0 + 0.0625f;
    const float tTop = 1.0f - static_cast<float>(g / 16) * 0.0625f;
    const float tBottom = tTop - 0.0625f;
    return {static_cast<int>(s0 * atlas.width), static_cast<int>(s1 * atlas.width),
            static_cast<int>(tBottom * atlas.height), static_cast<int>(tTop * atlas.height)};
}

// Ink of a texel: darkness for set 0 (dark on white), alpha for set 1 (light on black).
int ink(const Image& atlas, int x, int y, int set) {
    const std::uint8_t* texel = atlas.at(x, y);
    return set == 0 ? 255 - texel[0] : texel[3];
}

long cellInk(const Image& atlas, int g, int set) {
    const CellTexels cell = cellTexels(atlas, g);
    long total = 0;
    for (int y = cell.y0; y < cell.y1; ++y) {
        for (int x = cell.x0; x < cell.x1; ++x) {
            total += ink(atlas, x, y, set);
        }
    }
    return total;
}

// Ink of the cell's upper half as seen on screen minus that of its lower half.
long upperMinusLowerInk(const Image& atlas, int g, int set) {
    const CellTexels cell = cellTexels(atlas, g);
    const int middle = (cell.y0 + cell.y1) / 2;
    long difference = 0;
    for (int y = cell.y0; y < cell.y1; ++y) {
        for (int x = cell.x0; x < cell.x1; ++x) {
            difference += (y >= middle ? 1 : -1) * ink(atlas, x, y, set);
        }
    }
    return difference;
}

// The cell that printText uses for character c of a set.
int cellOf(unsigned char c, int set) {
    return 128 * set + c - 32;
}

class FontAtlas : public ::testing::Test {
  protected:
    static void SetUpTestSuite() { atlas_ = loadCommittedPng("data/textures/font.png"); }
    static Image atlas_;
};
Image FontAtlas::atlas_;

} // namespace

TEST_F(FontAtlas, IsA256By256RgbaGridOf16By16Cells) {
    ASSERT_EQ(atlas_.width, 256);
    ASSERT_EQ(atlas_.height, 256);
    ASSERT_EQ(atlas_.channels, 4);
    const CellTexels cell = cellTexels(atlas_, 0);
    EXPECT_EQ(cell.x1 - cell.x0, 16);
    EXPECT_EQ(cell.y1 - cell.y0, 16);
    // Cell 0 (the space of set 0) is the bottom-left cell of the file.
    EXPECT_EQ(cell.x0, 0);
    EXPECT_EQ(cell.y1, 256);
}

TEST_F(FontAtlas, EveryPrintableCharacterHasInkInItsCellOfBothSets) {
    for (int set = 0; set < 2; ++set) {
        EXPECT_EQ(cellInk(atlas_, cellOf(' ', set), set), 0) << "space, set " << set;
        for (int c = 33; c <= 126; ++c) {
            EXPECT_GT(cellInk(atlas_, cellOf(static_cast<unsigned char>(c), set), set), 255)
                << "character " << c << ", set " << set;
        }
        // The cells past '~' up to the end of the set stay empty.
        for (int g = cellOf(127, set); g < 128 * (set + 1); ++g) {
            EXPECT_EQ(cellInk(atlas_, g, set), 0) << "cell " << g;
        }
    }
    // Wide glyphs are wider than narrow ones: a check that cells are not shifted by one.
    EXPECT_GT(cellInk(atlas_, cellOf('W', 0), 0), 2 * cellInk(atlas_, cellOf('.', 0), 0));
    EXPECT_GT(cellInk(atlas_, cellOf('M', 1), 1), 2 * cellInk(atlas_, cellOf('\'', 1), 1));
}

TEST_F(FontAtlas, GlyphsAreStoredUpsideDownSoTheyStandUprightOnScreen) {
    for (int set = 0; set < 2; ++set) {
        // Seen on screen, T and the caret are heavy at the top; the underscore, the comma
        // and the dot at the bottom.
        for (const unsigned char top : {'T', '^', '"', '7'}) {
            EXPECT_GT(upperMinusLowerInk(atlas_, cellOf(top, set), set), 0)
                << top << " set " << set;
        }
        for (const unsigned char bottom : {'_', ',', '.', 'L'}) {
            EXPECT_LT(upperMinusLowerInk(atlas_, cellOf(bottom, set), set), 0)
                << bottom << " set " << set;
        }
    }
}

TEST_F(FontAtlas, SetZeroIsOpaqueDarkOnWhiteAndSetOneLightOnTransparentBlack) {
    for (int g = 0; g < 128; ++g) {
        const CellTexels zero = cellTexels(atlas_, g);
        const CellTexels one = cellTexels(atlas_, g + 128);
        for (int dy = 0; dy < 16; ++dy) {
            for (int dx = 0; dx < 16; ++dx) {
                const std::uint8_t* dark = atlas_.at(zero.x0 + dx, zero.y0 + dy);
                const std::uint8_t* light = atlas_.at(one.x0 + dx, one.y0 + dy);
                ASSERT_EQ(dark[3], 255) << "set 0 cell " << g;
                ASSERT_TRUE(dark[0] == dark[1] && dark[1] == dark[2]) << "set 0 cell " << g;
                // Set 1 is white where opaque and its alpha is the same glyph shape.
                ASSERT_EQ(light[3], 255 - dark[0]) << "set 1 cell " << g + 128;
                ASSERT_EQ(light[0], light[3]) << "set 1 cell " << g + 128;
            }
        }
    }
    // Full coverage reaches full opacity somewhere in a bold capital.
    const CellTexels h = cellTexels(atlas_, cellOf('H', 1));
    int strongest = 0;
    for (int y = h.y0; y < h.y1; ++y) {
        for (int x = h.x0; x < h.x1; ++x) {
            strongest = std::max<int>(strongest, atlas_.at(x, y)[3]);
        }
    }
    EXPECT_EQ(strongest, 255);
}

#include "tests/text/test_atlas.h"

#include <vector>

#include "demo/startup.h"
#include "platform/gl.h"
#include "text/font.h"

static constexpr int kCells = 16;
static constexpr int kCellTexels = 8;
static constexpr int kSize = kCells * kCellTexels;

MarkColour markOf(const int cell) {
    const std::uint8_t fill = cell >= 128 ? 255 : 0;
    return MarkColour{static_cast<std::uint8_t>(cell), fill, fill};
}

unsigned int makeTestAtlas() {
    std::vector<std::uint8_t> rgba(static_cast<std::size_t>(kSize) * kSize * 4);
    for (int row = 0; row < kSize; ++row) { // row 0 is t = 0
        for (int column = 0; column < kSize; ++column) {
            const int cellRow = (kSize - 1 - row) / kCellTexels; // counted from the t = 1 edge
            const int cell = cellRow * kCells + column / kCellTexels;
            // Within a cell t grows upward on screen: the lower half is the cell's first rows.
            const int rowInCell = row - (kSize - (cellRow + 1) * kCellTexels);
            const bool space = cell == 0 || cell == 128;
            const bool mark = !space && rowInCell < kCellTexels / 2;
            const bool setOne = cell >= 128;
            std::uint8_t* const texel = &rgba[(static_cast<std::size_t>(row) * kSize + column) * 4];
            if (mark) {
                const MarkColour colour = markOf(cell);
                texel[0] = colour.r;
                texel[1] = colour.g;
                texel[2] = colour.b;
                texel[3] = 255;
            } else {
                const std::uint8_t ground = setOne ? 0 : 255;
                texel[0] = texel[1] = texel[2] = texel[3] = ground;
            }
        }
    }
    GLuint texture = 0;
    glGenTextures(1, &texture);
    glBindTexture(GL_TEXTURE_2D, texture);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_REPEAT);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_REPEAT);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, kSize, kSize, 0, GL_RGBA, GL_UNSIGNED_BYTE,
                 rgba.data());
    return texture;
}

void useTestFont() {
    static bool built = false;
    if (!built) {
        fontTexture = makeTestAtlas();
        buildFont();
        built = true;
    }
}

const std::uint8_t* pixelAtUnits(const Picture& picture, const double x, const double y) {
    return picture.at(static_cast<int>(x * 1.25), static_cast<int>((480.0 - y) * 1.25));
}

int cellAt(const Picture& picture, const double x, const double y, const double scale) {
    const std::uint8_t* const pixel = pixelAtUnits(picture, x + 8 * scale, y + 4 * scale);
    const MarkColour mark = markOf(pixel[0]);
    return pixel[1] == mark.g && pixel[2] == mark.b ? pixel[0] : -1;
}

#include "tools/dialog_picture.h"

#include <algorithm>
#include <cmath>

#include "tools/glyph_raster.h"
#include "tools/textures.h"

namespace {

// A small fixed-seed generator, so the cloud is the same on every run.
struct Random {
    std::uint32_t state;
    float next() {
        state = state * 1664525u + 1013904223u;
        return static_cast<float>(state >> 8) / 16777216.0f;
    }
};

// Multiplies one soft particle of the given radius into the picture, as the show's sprites do.
void multiplyParticle(Image* picture, float cx, float cy, float radius, float strength) {
    const int x0 = std::max(0, static_cast<int>(std::floor(cx - radius)));
    const int x1 = std::min(picture->width - 1, static_cast<int>(std::ceil(cx + radius)));
    const int y0 = std::max(0, static_cast<int>(std::floor(cy - radius)));
    const int y1 = std::min(picture->height - 1, static_cast<int>(std::ceil(cy + radius)));
    for (int y = y0; y <= y1; ++y) {
        for (int x = x0; x <= x1; ++x) {
            const float darkness = strength * particleDarkness(std::hypot(x - cx, y - cy) / radius);
            std::uint8_t* pixel = picture->at(x, y);
            for (int c = 0; c < 3; ++c) {
                pixel[c] = static_cast<std::uint8_t>(std::lround(pixel[c] * (1.0f - darkness)));
            }
        }
    }
}

// A cloud drifting up and to the right, seen in perspective: far particles small and faint.
void drawCloud(Image* picture) {
    Random random{20261206u};
    constexpr int kParticles = 420;
    for (int i = 0; i < kParticles; ++i) {
        const float depth = 2.0f + 8.0f * random.next(); // distance from the eye
        const float along = random.next();               // position along the drift
        const float spread = (random.next() + random.next() + random.next() - 1.5f) * 0.55f;
        const float worldX = -6.0f + 12.0f * along;
        const float worldY = spread * 4.0f + (along - 0.5f) * 1.8f + 0.6f * std::sin(6.0f * along);
        const float focal = 190.0f;
        const float cx = kDialogPictureWidth * 0.5f + focal * worldX / depth;
        const float cy = kDialogPictureHeight * 0.5f - focal * worldY / depth * 0.8f;
        const float radius = 26.0f / depth * (0.7f + 0.6f * random.next());
        multiplyParticle(picture, cx, cy, radius, 0.55f + 0.3f * (1.0f - depth / 10.0f));
    }
}

void drawBars(Image* picture) {
    for (int y = 0; y < kDialogBarHeight; ++y) {
        for (int x = 0; x < picture->width; ++x) {
            std::fill_n(picture->at(x, y), 3, std::uint8_t{0});
            std::fill_n(picture->at(x, picture->height - 1 - y), 3, std::uint8_t{0});
        }
    }
}

// Blends coverage of `colour` into the picture at (x, y), ignoring points outside it.
void blendPixel(Image* picture, int x, int y, const float colour[3], float amount) {
    if (x < 0 || y < 0 || x >= picture->width || y >= picture->height || amount <= 0.0f) {
        return;
    }
    std::uint8_t* pixel = picture->at(x, y);
    for (int c = 0; c < 3; ++c) {
        pixel[c] =
            static_cast<std::uint8_t>(std::lround(pixel[c] + (colour[c] - pixel[c]) * amount));
    }
}

struct PlacedGlyph {
    GlyphBitmap bitmap;
    int penX;
};

// Draws the title centred, with a soft dark shadow beneath light letters.
bool drawTitle(Image* picture, const char* fontPath, std::string* error) {
    constexpr int kTitlePixelSize = 56;
    GlyphFont* font = openGlyphFont(fontPath, kTitlePixelSize, 1, error);
    if (!font) {
        return false;
    }
    std::vector<PlacedGlyph> glyphs;
    int width = 0;
    for (const char* c = kDialogTitle; *c; ++c) {
        PlacedGlyph placed;
        if (!renderGlyph(font, static_cast<unsigned char>(*c), &placed.bitmap)) {
            *error = "the title font cannot render the title";
            closeGlyphFont(font);
            return false;
        }
        placed.penX = width;
        width += placed.bitmap.advance;
        glyphs.push_back(std::move(placed));
    }
    closeGlyphFont(font);
    const int originX = (picture->width - width) / 2;
    const int baseline = picture->height / 2 + 14;
    const float shadow[3] = {40.0f, 18.0f, 0.0f};
    const float light[3] = {255.0f, 244.0f, 226.0f};
    for (int pass = 0; pass < 2; ++pass) {
        const int offset = pass == 0 ? 3 : 0;
        const float* colour = pass == 0 ? shadow : light;
        const float opacity = pass == 0 ? 0.6f : 1.0f;
        for (const PlacedGlyph& glyph : glyphs) {
            const GlyphBitmap& bitmap = glyph.bitmap;
            for (int row = 0; row < bitmap.rows; ++row) {
                for (int column = 0; column < bitmap.width; ++column) {
                    const float amount =
                        bitmap.coverage[static_cast<std::size_t>(row) * bitmap.width + column] /
                        255.0f;
                    blendPixel(picture, originX + glyph.penX + bitmap.left + column + offset,
                               baseline - bitmap.top + row + offset, colour, amount * opacity);
                }
            }
        }
    }
    return true;
}

void putLittleEndian(std::vector<std::uint8_t>* out, std::uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) {
        out->push_back(static_cast<std::uint8_t>(value >> (8 * i)));
    }
}

} // namespace

bool makeDialogPicture(const char* titleFontPath, Image* picture, std::string* error) {
    Image image = makeImage(kDialogPictureWidth, kDialogPictureHeight, 3, 0);
    for (int y = 0; y < image.height; ++y) {
        for (int x = 0; x < image.width; ++x) {
            std::copy_n(kBackgroundRgb, 3, image.at(x, y));
        }
    }
    drawCloud(&image);
    if (!drawTitle(&image, titleFontPath, error)) {
        return false;
    }
    drawBars(&image);
    *picture = std::move(image);
    return true;
}

std::vector<std::uint8_t> encodeBmp24(const Image& image) {
    const std::uint32_t rowBytes = (static_cast<std::uint32_t>(image.width) * 3 + 3) & ~3u;
    const std::uint32_t pixelBytes = rowBytes * static_cast<std::uint32_t>(image.height);
    constexpr std::uint32_t kHeaderBytes = 14 + 40;
    std::vector<std::uint8_t> out;
    out.reserve(kHeaderBytes + pixelBytes);
    // File header.
    out.push_back('B');
    out.push_back('M');
    putLittleEndian(&out, kHeaderBytes + pixelBytes, 4);
    putLittleEndian(&out, 0, 4); // reserved
    putLittleEndian(&out, kHeaderBytes, 4);
    // Information header (BITMAPINFOHEADER); a positive height means bottom-up rows.
    putLittleEndian(&out, 40, 4);
    putLittleEndian(&out, static_cast<std::uint32_t>(image.width), 4);
    putLittleEndian(&out, static_cast<std::uint32_t>(image.height), 4);
    putLittleEndian(&out, 1, 2);  // planes
    putLittleEndian(&out, 24, 2); // bits per pixel
    putLittleEndian(&out, 0, 4);  // BI_RGB, uncompressed
    putLittleEndian(&out, pixelBytes, 4);
    putLittleEndian(&out, 2835, 4); // 72 dpi, horizontally
    putLittleEndian(&out, 2835, 4); // and vertically
    putLittleEndian(&out, 0, 4);    // colours used
    putLittleEndian(&out, 0, 4);    // important colours
    for (int y = image.height - 1; y >= 0; --y) {
        for (int x = 0; x < image.width; ++x) {
            const std::uint8_t* pixel = image.at(x, y);
            out.push_back(pixel[2]);
            out.push_back(pixel[1]);
            out.push_back(pixel[0]);
        }
        out.insert(out.end(), rowBytes - static_cast<std::uint32_t>(image.width) * 3, 0);
    }
    return out;
}

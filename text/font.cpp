#include "text/font.h"

#include "draw/draw.h"
#include "state/texture_slots.h"

Glyph FontGlyphs[kGlyphCount];

static constexpr int kGridSize = 16;
static constexpr float kCellSize = 0.0625f;
static constexpr float kGlyphUnits = 16.0f;
static constexpr int kSetSize = 128;
static constexpr int kFirstCode = 32;

void buildFont() {
    for (int cell = 0; cell < kGlyphCount; ++cell) {
        Glyph& glyph = FontGlyphs[cell];
        glyph.s0 = static_cast<float>(cell % kGridSize) * kCellSize;
        glyph.s1 = glyph.s0 + kCellSize;
        glyph.tTop = 1.0f - static_cast<float>(cell / kGridSize) * kCellSize;
        glyph.tBottom = glyph.tTop - kCellSize;
    }
}

// The glyph's quad at the pen, then the pen one glyph to the right.
static void drawGlyph(const Glyph& glyph) {
    draw::begin(draw::Primitive::Quads);
    draw::texCoord(glyph.s0, glyph.tBottom);
    draw::vertex(0.0f, 0.0f);
    draw::texCoord(glyph.s1, glyph.tBottom);
    draw::vertex(kGlyphUnits, 0.0f);
    draw::texCoord(glyph.s1, glyph.tTop);
    draw::vertex(kGlyphUnits, kGlyphUnits);
    draw::texCoord(glyph.s0, glyph.tTop);
    draw::vertex(0.0f, kGlyphUnits);
    draw::end();
    draw::translate(kGlyphUnits, 0.0f, 0.0f);
}

// The cell byte `code` names in character set `set`, or kNoCell when it names none.
static constexpr int kNoCell = -1;
static int cellOf(const unsigned char code, const int set) {
    const int cell = kSetSize * set + code - kFirstCode;
    return cell >= 0 && cell < kGlyphCount ? cell : kNoCell;
}

void printText(const int x, const int y, const char* const text, int set, const float scale) {
    if (set > 1) {
        set = 1;
    }
    if (set < 0) {
        set = 0;
    }
    draw::enableTexturing(true);
    draw::bindTexture(fontTexture);
    draw::enableDepthTest(false);

    draw::selectMatrix(draw::MatrixStack::Projection);
    draw::pushMatrix();
    draw::loadIdentity();
    draw::multiplyOrtho(0.0f, 640.0f, 0.0f, 480.0f, -1.0f, 1.0f);
    draw::selectMatrix(draw::MatrixStack::ModelView);
    draw::pushMatrix();
    draw::loadIdentity();
    draw::translate(static_cast<float>(x), static_cast<float>(y), 0.0f);
    draw::scale(scale, scale, scale);

    for (const char* p = text; p != nullptr && *p != '\0'; ++p) {
        const int cell = cellOf(static_cast<unsigned char>(*p), set);
        if (cell != kNoCell) {
            drawGlyph(FontGlyphs[cell]);
        }
    }

    draw::selectMatrix(draw::MatrixStack::Projection);
    draw::popMatrix();
    draw::selectMatrix(draw::MatrixStack::ModelView);
    draw::popMatrix();
    draw::enableDepthTest(true);
    draw::enableTexturing(false);
}

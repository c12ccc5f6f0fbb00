#include "text/font.h"

#include "platform/gl.h"
#include "state/texture_slots.h"

unsigned int FontListBase = 0;

static constexpr int kGlyphCount = 256;
static constexpr int kGridSize = 16;
static constexpr float kCellSize = 0.0625f;
static constexpr int kGlyphUnits = 16;
static constexpr int kSetSize = 128;
static constexpr int kFirstCode = 32;

// The list of one cell: its quad at the pen, then the pen one glyph to the right.
static void compileGlyph(const int cell) {
    const float s0 = static_cast<float>(cell % kGridSize) * kCellSize;
    const float s1 = s0 + kCellSize;
    const float tTop = 1.0f - static_cast<float>(cell / kGridSize) * kCellSize;
    const float tBottom = tTop - kCellSize;

    glNewList(FontListBase + static_cast<unsigned int>(cell), GL_COMPILE);
    glBegin(GL_QUADS);
    glTexCoord2f(s0, tBottom);
    glVertex2i(0, 0);
    glTexCoord2f(s1, tBottom);
    glVertex2i(kGlyphUnits, 0);
    glTexCoord2f(s1, tTop);
    glVertex2i(kGlyphUnits, kGlyphUnits);
    glTexCoord2f(s0, tTop);
    glVertex2i(0, kGlyphUnits);
    glEnd();
    glTranslated(kGlyphUnits, 0.0, 0.0);
    glEndList();
}

void buildFont() {
    FontListBase = glGenLists(kGlyphCount);
    glBindTexture(GL_TEXTURE_2D, fontTexture);
    for (int cell = 0; cell < kGlyphCount; ++cell) {
        compileGlyph(cell);
    }
}

// Whether byte `code` names one of the font's cells in character set `set`.
static bool hasCell(const unsigned char code, const int set) {
    const int cell = kSetSize * set + code - kFirstCode;
    return cell >= 0 && cell < kGlyphCount;
}

// Calls the glyph lists of the string, one glCallLists per run of bytes that have a cell, so
// that a byte without one can never reach a list outside the font's.
static void callGlyphLists(const unsigned char* const text, const int set) {
    const unsigned char* run = text;
    const unsigned char* p = text;
    for (;; ++p) {
        const bool end = *p == 0;
        if (end || !hasCell(*p, set)) {
            if (p > run) {
                glCallLists(static_cast<GLsizei>(p - run), GL_UNSIGNED_BYTE, run);
            }
            if (end) {
                return;
            }
            run = p + 1;
        }
    }
}

void printText(const int x, const int y, const char* const text, int set, const float scale) {
    if (set > 1) {
        set = 1;
    }
    if (set < 0) {
        set = 0;
    }
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, fontTexture);
    glDisable(GL_DEPTH_TEST);

    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    glOrtho(0.0, 640.0, 0.0, 480.0, -1.0, 1.0);
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
    glTranslated(x, y, 0.0);
    glScalef(scale, scale, scale);

    glListBase(FontListBase + static_cast<unsigned int>(kSetSize * set) - kFirstCode);
    if (text != nullptr) {
        callGlyphLists(reinterpret_cast<const unsigned char*>(text), set);
    }

    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
    glPopMatrix();
    glEnable(GL_DEPTH_TEST);
    glDisable(GL_TEXTURE_2D);
}

#include "render/glow.h"

#include <cmath>
#include <vector>

#include "platform/gl.h"
#include "render/letterbox_band.h"
#include "render/picture_target.h"

int GlowWidth = 800;
int GlowHeight = 600;

// The copy of the finished scene (GlowWidth x GlowHeight) and the half-size working image.
static GLuint glowFullTexture = 0;
static GLuint glowHalfTexture = 0;

// The integer part of a count argument, at least 0 and at most `limit`: out-of-range or NaN
// arguments can neither overflow the conversion nor make the pass loops run unbounded.
static int truncatedCount(const float value, const int limit) {
    if (!(value > 0.0f)) {
        return 0;
    }
    return value >= static_cast<float>(limit) ? limit : static_cast<int>(value);
}

// Caps of the pass loops. Past 256 additions every non-zero 8-bit value is saturated anyway.
static constexpr int kMaxBlurRadius = 400;
static constexpr int kMaxContrastPasses = 64;
static constexpr int kMaxGlowAdditions = 256;

static void storeRectangleTexture(const GLuint texture, const int width, const int height,
                                  const unsigned char* const zeros) {
    glBindTexture(GL_TEXTURE_RECTANGLE_ARB, texture);
    glTexImage2D(GL_TEXTURE_RECTANGLE_ARB, 0, GL_RGB8, width, height, 0, GL_RGB, GL_UNSIGNED_BYTE,
                 zeros);
}

static GLuint createRectangleTexture() {
    GLuint texture = 0;
    glGenTextures(1, &texture);
    glBindTexture(GL_TEXTURE_RECTANGLE_ARB, texture);
    glTexParameteri(GL_TEXTURE_RECTANGLE_ARB, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_RECTANGLE_ARB, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    return texture;
}

// Both textures at the picture size and half of it, cleared to black.
static void storeGlowTextures() {
    GlowWidth = pictureSize().width;
    GlowHeight = pictureSize().height;
    const std::vector<unsigned char> zeros(static_cast<std::size_t>(GlowWidth) * GlowHeight * 3, 0);
    storeRectangleTexture(glowFullTexture, GlowWidth, GlowHeight, zeros.data());
    storeRectangleTexture(glowHalfTexture, GlowWidth / 2, GlowHeight / 2, zeros.data());
}

bool createGlowTextures() {
    glowFullTexture = createRectangleTexture();
    glowHalfTexture = createRectangleTexture();
    storeGlowTextures();
    return true;
}

void resizeGlowTextures() {
    if (GlowWidth != pictureSize().width || GlowHeight != pictureSize().height) {
        storeGlowTextures();
    }
}

void drawGlowQuad(const int sw, const int sh, const float dx, const float dy) {
    const float left = dx;
    const float right = static_cast<float>(sw) + dx;
    const float bottom = dy;
    const float top = static_cast<float>(sh) + dy;
    glTexCoord2f(left, bottom);
    glVertex3f(0.0f, 1.0f, -1.0f);
    glTexCoord2f(left, top);
    glVertex3f(0.0f, 0.0f, -1.0f);
    glTexCoord2f(right, top);
    glVertex3f(1.0f, 0.0f, -1.0f);
    glTexCoord2f(right, bottom);
    glVertex3f(1.0f, 1.0f, -1.0f);
}

static void drawSingleGlowQuad(const int sw, const int sh) {
    glBegin(GL_QUADS);
    drawGlowQuad(sw, sh, 0, 0);
    glEnd();
}

// Copies rows [first, end) of the lower-left width x height of the picture into the same rows
// of the bound texture. Both textures are made at their final size and format at start-up, so
// the copy replaces their contents instead of re-creating their storage on every frame.
static void copyIntoBoundTexture(const int width, const int height, const PictureRows rows) {
    const int first = rows.first < 0 ? 0 : rows.first;
    const int end = rows.end > height ? height : rows.end;
    if (end > first) {
        glCopyTexSubImage2D(GL_TEXTURE_RECTANGLE_ARB, 0, 0, first, 0, first, width, end - first);
    }
}

// One blur pass along x (stepX > 0) or y (stepY > 0): the weighted centre tap replaces the
// corner, then the weighted taps at -i and +i steps are added for i = 1..m.
static void blurPass(const int w, const int h, const int m, const float stepX, const float stepY) {
    glBlendFunc(GL_SRC_ALPHA, GL_ZERO);
    drawSingleGlowQuad(w, h);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE);
    glBegin(GL_QUADS);
    for (int i = 1; i <= m; ++i) {
        const float tap = static_cast<float>(i);
        drawGlowQuad(w, h, -tap * stepX, -tap * stepY);
        drawGlowQuad(w, h, tap * stepX, tap * stepY);
    }
    glEnd();
}

void applyGlow(const float blurRadius, const float contrastPasses, const float glowGain,
               const float blurWeight) {
    const int W = GlowWidth;
    const int H = GlowHeight;
    const int w = W / 2;
    const int h = H / 2;
    const int m = truncatedCount(blurRadius, kMaxBlurRadius);
    const int n = truncatedCount(contrastPasses, kMaxContrastPasses);
    // The k = 1, 2, ... with k < glowGain.
    const int additions = truncatedCount(std::ceil(glowGain) - 1.0f, kMaxGlowAdditions);

    // Under the letterbox only the rows that feed the open band are worked on: the scene's
    // rows with their margin, the half-size rows the blur reads for them, the open rows.
    const bool culled = inCulledFrame() && m <= kCulledBlurReach && !sceneShowsThroughBars();
    const PictureRows allFull{0, H};
    const PictureRows allHalf{0, h};
    const PictureRows fullRows = culled ? sceneRows() : allFull;
    const PictureRows halfRows = culled ? glowHalfRows() : allHalf;
    if (culled) {
        scissorRows(halfRows);
    }
    // The taps lie as far apart on the picture at every size: one half-size texel of the
    // 800 x 600 picture is pictureScale() texels of a larger one.
    const float tapStep = pictureScale();

    glEnable(GL_TEXTURE_RECTANGLE_ARB);
    glColor3f(1.0f, 1.0f, 1.0f);
    glDisable(GL_DEPTH_TEST);

    glBindTexture(GL_TEXTURE_RECTANGLE_ARB, glowFullTexture);
    copyIntoBoundTexture(W, H, fullRows);

    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    glOrtho(0.0, 1.0, 1.0, 0.0, 0.1, 100.0);

    glViewport(0, 0, w, h);

    // Downscale the scene into the lower-left corner.
    glBindTexture(GL_TEXTURE_RECTANGLE_ARB, glowFullTexture);
    glBlendFunc(GL_DST_COLOR, GL_ZERO);
    glDisable(GL_BLEND);
    drawSingleGlowQuad(W, H);

    // Contrast: multiply the corner by the downscaled scene n times.
    glEnable(GL_BLEND);
    glBegin(GL_QUADS);
    for (int pass = 0; pass < n; ++pass) {
        drawGlowQuad(W, H, 0, 0);
    }
    glEnd();

    glBindTexture(GL_TEXTURE_RECTANGLE_ARB, glowHalfTexture);
    copyIntoBoundTexture(w, h, halfRows);

    glColor4f(1.0f, 1.0f, 1.0f, blurWeight / (2.0f * blurRadius + 1.0f));
    blurPass(w, h, m, tapStep, 0.0f);
    copyIntoBoundTexture(w, h, halfRows);
    blurPass(w, h, m, 0.0f, tapStep);
    copyIntoBoundTexture(w, h, halfRows);

    glViewport(0, 0, W, H);
    if (culled) {
        scissorRows(openPictureRows());
    }

    // The blurred image stretched over the picture, then added again while k < glowGain.
    glDisable(GL_BLEND);
    drawSingleGlowQuad(w, h);
    glEnable(GL_BLEND);
    glBlendFunc(GL_ONE, GL_ONE);
    glBegin(GL_QUADS);
    for (int k = 1; k <= additions; ++k) {
        drawGlowQuad(w, h, 0, 0);
    }
    glEnd();

    // The unprocessed scene on top.
    glBindTexture(GL_TEXTURE_RECTANGLE_ARB, glowFullTexture);
    drawSingleGlowQuad(W, H);

    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
    glPopMatrix();

    if (culled) {
        disableRowScissor();
    }
    glDisable(GL_TEXTURE_RECTANGLE_ARB);
    glEnable(GL_DEPTH_TEST);
    glDisable(GL_BLEND);
}

#include "render/glow.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "draw/draw.h"
#include "platform/gl.h"
#include "render/letterbox_band.h"
#include "render/picture_target.h"

int GlowWidth = 800;
int GlowHeight = 600;

// The copy of the finished scene (GlowWidth x GlowHeight) and the half-size working image.
static GLuint glowFullTexture = 0;
static GLuint glowHalfTexture = 0;
// The size in texels of the glow texture bound for drawing, which drawGlowQuad's texel
// coordinates are divided by.
static float boundGlowWidth = 1.0f;
static float boundGlowHeight = 1.0f;

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

// RGBA, for the copies' speed in browsers, but read as colour alone: a texel's alpha is 1, so
// the blur's blending weighs the taps by the colour's alpha alone.
static void storeGlowTexture(const GLuint texture, const int width, const int height,
                             const unsigned char* const zeros) {
    glBindTexture(GL_TEXTURE_2D, texture);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, width, height, 0, GL_RGBA, GL_UNSIGNED_BYTE, zeros);
}

// Read at texel coordinates, filtered linearly and clamped at the edges as the blur's outer
// taps need.
static GLuint createGlowTexture() {
    GLuint texture = 0;
    glGenTextures(1, &texture);
    glBindTexture(GL_TEXTURE_2D, texture);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
    draw::treatAlphaAsOne(texture);
    return texture;
}

// Both textures at the picture size and half of it, cleared to black.
static void storeGlowTextures() {
    GlowWidth = pictureSize().width;
    GlowHeight = pictureSize().height;
    const std::vector<unsigned char> zeros(static_cast<std::size_t>(GlowWidth) * GlowHeight * 4, 0);
    storeGlowTexture(glowFullTexture, GlowWidth, GlowHeight, zeros.data());
    storeGlowTexture(glowHalfTexture, GlowWidth / 2, GlowHeight / 2, zeros.data());
}

bool createGlowTextures() {
    glowFullTexture = createGlowTexture();
    glowHalfTexture = createGlowTexture();
    storeGlowTextures();
    return true;
}

void resizeGlowTextures() {
    if (GlowWidth != pictureSize().width || GlowHeight != pictureSize().height) {
        storeGlowTextures();
    }
}

void drawGlowQuad(const int sw, const int sh, const float dx, const float dy) {
    const float left = dx / boundGlowWidth;
    const float right = (static_cast<float>(sw) + dx) / boundGlowWidth;
    const float bottom = dy / boundGlowHeight;
    const float top = (static_cast<float>(sh) + dy) / boundGlowHeight;
    draw::texCoord(left, bottom);
    draw::vertex(0.0f, 1.0f, -1.0f);
    draw::texCoord(left, top);
    draw::vertex(0.0f, 0.0f, -1.0f);
    draw::texCoord(right, top);
    draw::vertex(1.0f, 0.0f, -1.0f);
    draw::texCoord(right, bottom);
    draw::vertex(1.0f, 1.0f, -1.0f);
}

static void drawSingleGlowQuad(const int sw, const int sh) {
    draw::begin(draw::Primitive::Quads);
    drawGlowQuad(sw, sh, 0, 0);
    draw::end();
}

// Binds one of the glow's textures for drawing; its size scales drawGlowQuad's texels.
static void bindGlowTexture(const GLuint texture, const int width, const int height) {
    draw::bindTexture(texture);
    boundGlowWidth = static_cast<float>(width);
    boundGlowHeight = static_cast<float>(height);
}

// Copies rows [first, end) of the lower-left width x height of the picture into the same rows
// of the bound texture. Both textures are made at their final size and format at start-up, so
// the copy replaces their contents instead of re-creating their storage on every frame.
static void copyIntoTexture(const GLuint texture, const int width, const int height,
                            const PictureRows rows) {
    const int first = rows.first < 0 ? 0 : rows.first;
    const int end = rows.end > height ? height : rows.end;
    if (end > first) {
        draw::copyPictureToTexture(texture, width, first, end - first);
    }
}

// One blur pass along x (stepX > 0) or y (stepY > 0): the weighted centre tap replaces the
// corner, then the weighted taps at -i and +i steps are added for i = 1..m. The taps are
// weighted by the current colour's alpha through the blending, which takes it to a whole level;
// the centre tap, which replaces, is weighted by that level as a colour with blending off
// instead: the same products, rounded the same, without reading the corner first.
static void blurPass(const int w, const int h, const int m, const float stepX, const float stepY) {
    const float weight = draw::currentColor()[3];
    const float level = std::min(1.0f, std::round(weight * 255.0f) / 255.0f); // alpha clamps
    draw::enableBlending(false);
    draw::color(level, level, level, weight);
    drawSingleGlowQuad(w, h);
    draw::color(1.0f, 1.0f, 1.0f, weight);
    draw::enableBlending(true);
    draw::blendFunction(draw::BlendFactor::SrcAlpha, draw::BlendFactor::One);
    draw::begin(draw::Primitive::Quads);
    for (int i = 1; i <= m; ++i) {
        const float tap = static_cast<float>(i);
        drawGlowQuad(w, h, -tap * stepX, -tap * stepY);
        drawGlowQuad(w, h, tap * stepX, tap * stepY);
    }
    draw::end();
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

    // The glow draws with its own textures; the scene's texturing and texture come back after.
    const bool callerTexturing = draw::texturingEnabled();
    const unsigned int callerTexture = draw::boundTexture();
    draw::enableTexturing(true);
    draw::color(1.0f, 1.0f, 1.0f);
    draw::enableDepthTest(false);

    copyIntoTexture(glowFullTexture, W, H, fullRows);

    draw::selectMatrix(draw::MatrixStack::ModelView);
    draw::pushMatrix();
    draw::loadIdentity();
    draw::selectMatrix(draw::MatrixStack::Projection);
    draw::pushMatrix();
    draw::loadIdentity();
    draw::multiplyOrtho(0.0f, 1.0f, 1.0f, 0.0f, 0.1f, 100.0f);

    draw::viewport(draw::Rect{0, 0, w, h});

    // Downscale the scene into the lower-left corner.
    bindGlowTexture(glowFullTexture, W, H);
    draw::blendFunction(draw::BlendFactor::DstColor, draw::BlendFactor::Zero);
    draw::enableBlending(false);
    drawSingleGlowQuad(W, H);

    // Contrast: multiply the corner by the downscaled scene n times.
    draw::enableBlending(true);
    draw::begin(draw::Primitive::Quads);
    for (int pass = 0; pass < n; ++pass) {
        drawGlowQuad(W, H, 0, 0);
    }
    draw::end();

    copyIntoTexture(glowHalfTexture, w, h, halfRows);
    bindGlowTexture(glowHalfTexture, w, h);

    // Taps a whole number of texels apart fall on texel centres, where the linear filter gives
    // the texel itself: they read the nearest texel, the same value at less cost.
    const bool nearestTaps = tapStep == std::floor(tapStep);
    if (nearestTaps) {
        draw::filterLinearly(glowHalfTexture, false);
    }
    const float tapWeight = blurWeight / (2.0f * blurRadius + 1.0f);
    draw::color(1.0f, 1.0f, 1.0f, tapWeight);
    blurPass(w, h, m, tapStep, 0.0f);
    copyIntoTexture(glowHalfTexture, w, h, halfRows);
    blurPass(w, h, m, 0.0f, tapStep);
    copyIntoTexture(glowHalfTexture, w, h, halfRows);
    if (nearestTaps) {
        draw::filterLinearly(glowHalfTexture, true);
    }

    draw::viewport(draw::Rect{0, 0, W, H});
    const float times = static_cast<float>(1 + additions);
    if (culled) {
        const PictureRows open = openPictureRows();
        // Outside the working corner the open rows still hold the scene; inside it the scene
        // comes back from its copy. The blurred image stretched over the picture, times
        // 1 + #{k >= 1 : k < glowGain}, is then added to it: both terms are whole levels at
        // least 0, so the saturated sum is the one of the glow first and the scene last.
        const int first = std::max(open.first, halfRows.first);
        const int end = std::min(open.end, halfRows.end);
        if (end > first) {
            draw::scissorBox(draw::Rect{0, first, w, end - first});
            bindGlowTexture(glowFullTexture, W, H);
            draw::enableBlending(false);
            drawSingleGlowQuad(W, H);
        }
        scissorRows(open);
        bindGlowTexture(glowHalfTexture, w, h);
        draw::enableBlending(true);
        draw::blendFunction(draw::BlendFactor::One, draw::BlendFactor::One);
        draw::color(times, times, times, tapWeight);
        drawSingleGlowQuad(w, h);
        draw::color(1.0f, 1.0f, 1.0f, tapWeight);
    } else {
        // The blurred image stretched over the picture, times 1 + #{k >= 1 : k < glowGain}.
        draw::enableBlending(false);
        draw::color(times, times, times, tapWeight);
        drawSingleGlowQuad(w, h);
        draw::color(1.0f, 1.0f, 1.0f, tapWeight);
        draw::enableBlending(true);
        draw::blendFunction(draw::BlendFactor::One, draw::BlendFactor::One);

        // The unprocessed scene on top.
        bindGlowTexture(glowFullTexture, W, H);
        drawSingleGlowQuad(W, H);
    }

    draw::selectMatrix(draw::MatrixStack::Projection);
    draw::popMatrix();
    draw::selectMatrix(draw::MatrixStack::ModelView);
    draw::popMatrix();

    if (culled) {
        disableRowScissor();
    }
    draw::enableTexturing(callerTexturing);
    draw::bindTexture(callerTexture);
    draw::enableDepthTest(true);
    draw::enableBlending(false);
}

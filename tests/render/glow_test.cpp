#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "platform/gl.h"
#include "render/glow.h"
#include "tests/support/headless_picture.h"

namespace {

void prepareGlow() {
    static bool created = false;
    if (!created) {
        EXPECT_TRUE(createGlowTextures());
        created = true;
    }
    glViewport(0, 0, kPictureWidth, kPictureHeight);
    glDisable(GL_SCISSOR_TEST);
    glEnable(GL_DEPTH_TEST);
    glDisable(GL_BLEND);
    glDisable(GL_TEXTURE_2D);
}

void clearTo(const int r, const int g, const int b) {
    glClearColor(static_cast<float>(r) / 255.0f, static_cast<float>(g) / 255.0f,
                 static_cast<float>(b) / 255.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
}

int channelAfterGlow(const int value, const double power, const double blurSum,
                     const int additions) {
    const double c = value / 255.0;
    return static_cast<int>(
        std::lround(std::min(1.0, c + additions * blurSum * blurSum * std::pow(c, power)) * 255.0));
}

struct UniformCase {
    const char* what;
    float blurRadius, contrastPasses, glowGain, blurWeight;
    int r, g, b;
    // The expected result c + additions * blurSum^2 * c^power, with blurSum the sum of the tap
    // weights of one blur pass (taps x weight; there are two passes, across and down) and
    // power = contrast passes + 1.
    double power, blurSum;
    int additions;
};

} // namespace

// A uniform picture stays uniform under the blur, so every pixel shows the formula of the glow:
// the scene plus the added copies of the darkened, blurred image.
TEST(Glow, UniformPicturesFollowTheGlowFormula) {
    REQUIRE_HEADLESS_GL();
    const UniformCase cases[] = {
        {"black stays black", 2, 1, 2, 1, 0, 0, 0, 2, 1.0, 2},
        // The orange-brown background ends at about (255, 200, 0).
        {"the frame's values on the orange background", 2, 1, 2, 1, 217, 110, 0, 2, 1.0, 2},
        {"radius below 1: the centre tap alone, weight 0.5", 0.5f, 1, 1, 1, 100, 100, 100, 2, 0.5,
         1},
        {"no contrast pass, gain 2.5 adds three times", 2, 0, 2.5f, 1, 40, 40, 40, 1, 1.0, 3},
        {"two contrast passes cube the picture", 2, 2, 2, 1, 128, 128, 128, 3, 1.0, 2},
        {"gain 1 draws the blur once, weight 0.5 over three taps", 1, 1, 1, 0.5f, 128, 128, 128, 2,
         0.5, 1},
    };
    for (const UniformCase& c : cases) {
        SCOPED_TRACE(c.what);
        prepareGlow();
        clearTo(c.r, c.g, c.b);
        applyGlow(c.blurRadius, c.contrastPasses, c.glowGain, c.blurWeight);
        const Picture picture = readPicture();
        const int expected[3] = {channelAfterGlow(c.r, c.power, c.blurSum, c.additions),
                                 channelAfterGlow(c.g, c.power, c.blurSum, c.additions),
                                 channelAfterGlow(c.b, c.power, c.blurSum, c.additions)};
        for (const auto& [x, y] :
             {std::pair{0, 0}, std::pair{400, 300}, std::pair{799, 599}, std::pair{3, 597}}) {
            const std::uint8_t* const pixel = picture.at(x, y);
            for (int k = 0; k < 3; ++k) {
                // Every copy and every blended tap is rounded to 8 bits on the way.
                EXPECT_NEAR(pixel[k], expected[k], 7) << "pixel " << x << "," << y << " ch " << k;
            }
        }
    }
}

// A white square on black: the square stays white and gains a halo of about 2 m full-size
// pixels (m = 2) that fades outward; nothing further out is lit.
TEST(Glow, WhiteSquareGetsAHaloOfAboutTwiceTheRadius) {
    REQUIRE_HEADLESS_GL();
    prepareGlow();
    clearTo(0, 0, 0);
    constexpr int kLeft = 360, kRight = 440, kTop = 260, kBottom = 340; // from the top
    glEnable(GL_SCISSOR_TEST);
    glScissor(kLeft, kPictureHeight - kBottom, kRight - kLeft, kBottom - kTop);
    clearTo(255, 255, 255);
    glDisable(GL_SCISSOR_TEST);
    applyGlow(2.0f, 1.0f, 2.0f, 1.0f);
    const Picture picture = readPicture();

    EXPECT_EQ(picture.at(400, 300)[0], 255);
    EXPECT_EQ(picture.at(kLeft, 300)[1], 255);
    // Outward from each edge: lit just outside, fading, dark from 8 pixels on.
    const int left1 = picture.at(kLeft - 1, 300)[0];
    const int left3 = picture.at(kLeft - 3, 300)[0];
    const int left5 = picture.at(kLeft - 5, 300)[0];
    EXPECT_GT(left1, 150);
    EXPECT_GT(left3, 60);
    EXPECT_LT(left3, left1);
    EXPECT_LE(left5, left3);
    EXPECT_GT(picture.at(kRight + 2, 300)[0], 60);
    EXPECT_GT(picture.at(400, kTop - 3)[0], 60);
    EXPECT_GT(picture.at(400, kBottom + 2)[0], 60);

    int litFarOut = 0;
    for (int y = 0; y < kPictureHeight; ++y) {
        for (int x = 0; x < kPictureWidth; ++x) {
            const bool near = x >= kLeft - 8 && x < kRight + 8 && y >= kTop - 8 && y < kBottom + 8;
            const std::uint8_t* const pixel = picture.at(x, y);
            if (!near && (pixel[0] | pixel[1] | pixel[2]) != 0) {
                ++litFarOut;
            }
        }
    }
    EXPECT_EQ(litFarOut, 0);
}

namespace {

void matrix(const GLenum which, float (&out)[16]) {
    glGetFloatv(which, out);
}

} // namespace

TEST(Glow, LeavesTheDocumentedStateAndRestoresBothMatrices) {
    REQUIRE_HEADLESS_GL();
    prepareGlow();
    clearTo(10, 20, 30);
    // A caller with other matrices, another viewport (a window that is not 800 x 600) and
    // blending on.
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glFrustum(-1, 1, -1, 1, 1, 100);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glTranslatef(1.0f, 2.0f, -3.0f);
    glViewport(0, 0, 640, 480);
    glEnable(GL_BLEND);
    float modelViewBefore[16], projectionBefore[16];
    matrix(GL_MODELVIEW_MATRIX, modelViewBefore);
    matrix(GL_PROJECTION_MATRIX, projectionBefore);

    applyGlow(2.0f, 1.0f, 2.0f, 1.0f);

    EXPECT_FALSE(glIsEnabled(GL_BLEND));
    GLint value = 0;
    glGetIntegerv(GL_BLEND_SRC_RGB, &value);
    EXPECT_EQ(value, GL_ONE);
    glGetIntegerv(GL_BLEND_DST_RGB, &value);
    EXPECT_EQ(value, GL_ONE);
    EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_RECTANGLE_ARB));
    // The full-size copy stays bound to the rectangle target.
    GLint width = 0, height = 0;
    glGetTexLevelParameteriv(GL_TEXTURE_RECTANGLE_ARB, 0, GL_TEXTURE_WIDTH, &width);
    glGetTexLevelParameteriv(GL_TEXTURE_RECTANGLE_ARB, 0, GL_TEXTURE_HEIGHT, &height);
    EXPECT_EQ(width, GlowWidth);
    EXPECT_EQ(height, GlowHeight);
    float colour[4];
    glGetFloatv(GL_CURRENT_COLOR, colour);
    EXPECT_FLOAT_EQ(colour[0], 1.0f);
    EXPECT_FLOAT_EQ(colour[3], 0.2f);
    GLint viewport[4];
    glGetIntegerv(GL_VIEWPORT, viewport);
    EXPECT_EQ(viewport[0], 0);
    EXPECT_EQ(viewport[1], 0);
    EXPECT_EQ(viewport[2], 800);
    EXPECT_EQ(viewport[3], 600);
    glGetIntegerv(GL_MATRIX_MODE, &value);
    EXPECT_EQ(value, GL_MODELVIEW);
    float modelViewAfter[16], projectionAfter[16];
    matrix(GL_MODELVIEW_MATRIX, modelViewAfter);
    matrix(GL_PROJECTION_MATRIX, projectionAfter);
    for (int i = 0; i < 16; ++i) {
        EXPECT_EQ(modelViewAfter[i], modelViewBefore[i]) << i;
        EXPECT_EQ(projectionAfter[i], projectionBefore[i]) << i;
    }
    glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &value);
    EXPECT_EQ(value, 1);
    glGetIntegerv(GL_PROJECTION_STACK_DEPTH, &value);
    EXPECT_EQ(value, 1);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

// A gain far beyond any caller's must neither overflow the pass count nor run unbounded; its
// capped additions still saturate every lit pixel.
TEST(Glow, HugeGainIsBounded) {
    REQUIRE_HEADLESS_GL();
    prepareGlow();
    clearTo(30, 30, 30);
    applyGlow(2.0f, -3.0f, 1e30f, 1.0f);
    EXPECT_EQ(readPicture().at(400, 300)[0], 255);
}

#include <gtest/gtest.h>

#include "draw/draw.h"
#include "platform/gl.h"
#include "render/glow.h"
#include "render/letterbox_band.h"
#include "render/vec3.h"
#include "render/viewport.h"
#include "tests/support/headless_picture.h"

TEST(PictureTarget, IsAn800By600TargetWithA16BitDepthBuffer) {
    REQUIRE_HEADLESS_GL();
    GLint depthBits = 0;
    glGetFramebufferAttachmentParameteriv(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT,
                                          GL_FRAMEBUFFER_ATTACHMENT_DEPTH_SIZE, &depthBits);
    EXPECT_EQ(depthBits, 16);
    EXPECT_EQ(draw::currentViewport().width, 800);
    EXPECT_EQ(draw::currentViewport().height, 600);
}

TEST(PictureSize, OnlyWholePixel4To3SizesFrom320x240To3840x2880AndTheirRows) {
    const struct {
        const char* text;
        PictureSize size; // 0 x 0: refused
        PictureRows open; // the rows the letterbox leaves open
    } cases[] = {
        {"800x600", {800, 600}, {175, 425}},
        {"1080", {1440, 1080}, {315, 765}},
        {"1200x900", {1200, 900}, {262, 638}},
        {"240", {320, 240}, {70, 170}},
        {"3840x2880", {3840, 2880}, {840, 2040}},
        {"1000", {}, {}},
        {"800x601", {}, {}},
        {"3844x2883", {}, {}},
        {"316x237", {}, {}},
        {"1000x600", {}, {}},
        {"800x600x", {}, {}},
        {"x600", {}, {}},
        {"+800x600", {}, {}},
        {"00000800x600", {}, {}},
        {"", {}, {}},
    };
    for (const auto& c : cases) {
        PictureSize size;
        EXPECT_EQ(parsePictureSize(c.text, &size), c.size.width != 0) << c.text;
        EXPECT_EQ(setPictureSize(size), c.size.width != 0) << c.text;
        if (c.size.width != 0) {
            EXPECT_TRUE(size == c.size && pictureSize() == c.size) << c.text;
            EXPECT_EQ(openPictureRows().first, c.open.first) << c.text;
            EXPECT_EQ(openPictureRows().end, c.open.end) << c.text;
        }
    }
    ASSERT_TRUE(setPictureSize(kDefaultPictureSize));
}

// Depth drawn just nearer than the bars under them shows through them (so their rows are
// drawn), just farther does not, nor does near depth drawn only between the bars; a frame inside
// a caller's scissor box is never culled, and short vectors normalise too.
TEST(LetterboxBand, NearGeometryUnderTheBarsIsSeenAndAScissoredFrameIsNotCulled) {
    REQUIRE_HEADLESS_GL();
    const float height = static_cast<float>(kDefaultPictureSize.height);
    const struct {
        const char* what;
        float firstRow;
        float endRow;
        float depth;
        bool seen;
    } cases[] = {
        {"just nearer, under the top bar", height - 4, height - 2, 0.499f, true},
        {"just farther, under the top bar", height - 4, height - 2, 0.501f, false},
        {"near, between the bars", 300, 310, 0.1f, false},
        {"near, under the bottom bar", 2, 4, 0.1f, true},
    };
    for (const draw::MatrixStack stack :
         {draw::MatrixStack::Projection, draw::MatrixStack::ModelView}) {
        draw::selectMatrix(stack);
        draw::pushMatrix();
        draw::loadIdentity();
    }
    for (const auto& c : cases) {
        draw::clear();
        draw::enableDepthTest(true);
        const float low = c.firstRow / height * 2 - 1;
        const float high = c.endRow / height * 2 - 1;
        const float z = c.depth * 2 - 1;
        draw::begin(draw::Primitive::Quads);
        draw::vertex(-0.9f, low, z);
        draw::vertex(0.9f, low, z);
        draw::vertex(0.9f, high, z);
        draw::vertex(-0.9f, high, z);
        draw::end();
        draw::flush();
        draw::enableDepthTest(false);
        EXPECT_EQ(sceneShowsThroughBars(), c.seen) << c.what;
    }
    for (const draw::MatrixStack stack :
         {draw::MatrixStack::Projection, draw::MatrixStack::ModelView}) {
        draw::selectMatrix(stack);
        draw::popMatrix();
    }
    glClearDepthf(1.0);
    draw::enableScissor(true);
    EXPECT_FALSE(beginCulledFrame());
    draw::enableScissor(false);
    const bool culled = beginCulledFrame();
    EXPECT_TRUE(culled);
    endCulledFrame(culled);
    Vec3 shortVector{0.3f, 0.0f, 0.4f};
    vec3Normalize(&shortVector);
    EXPECT_NEAR(shortVector.x, 0.6f, 1e-6f);
    EXPECT_NEAR(shortVector.z, 0.8f, 1e-6f);
}

// The glow reaches as far over the picture at every size: around a white square, a picture
// twice as large is lit twice as many pixels out.
TEST(Glow, ReachesAsFarOverThePictureAtEverySize) {
    REQUIRE_HEADLESS_GL();
    createGlowTextures();
    std::vector<int> reaches;
    for (const int scale : {1, 2}) {
        ASSERT_TRUE(setPictureSize({800 * scale, 600 * scale}));
        PictureTarget target;
        ASSERT_TRUE(createPictureTarget(&target));
        resizeGlowTextures();
        resizeViewport(800 * scale, 600 * scale);
        glClearColor(0, 0, 0, 1);
        glClear(GL_COLOR_BUFFER_BIT);
        glEnable(GL_SCISSOR_TEST); // a white square of 16 x 16 pixels of the 800 x 600 picture
        glScissor(392 * scale, 292 * scale, 16 * scale, 16 * scale);
        glClearColor(1, 1, 1, 1);
        glClear(GL_COLOR_BUFFER_BIT);
        glDisable(GL_SCISSOR_TEST);
        applyGlow(2.0f, 1.0f, 2.0f, 1.0f);
        std::vector<std::uint8_t> rgb;
        readPictureRgb(target, &rgb);
        int lit = 0; // along the middle row, right of the square
        const std::size_t row = static_cast<std::size_t>(300 * scale) * 800 * scale;
        while (rgb[(row + static_cast<std::size_t>(408 * scale + lit)) * 3] > 8) {
            ++lit;
        }
        reaches.push_back(lit);
        destroyPictureTarget(&target);
    }
    ASSERT_TRUE(setPictureSize(kDefaultPictureSize));
    resizeGlowTextures();
    bindPictureTarget(headlessPictureTarget());
    resizeViewport(800, 600);
    EXPECT_GT(reaches[0], 1);
    EXPECT_NEAR(reaches[1], 2 * reaches[0], 1) << reaches[0] << " " << reaches[1];
}

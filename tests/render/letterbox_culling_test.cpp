// Letterbox culling against the full frame: the same pictures for drawings made to be hard, and
// the state every sprite leaves behind.
#include <gtest/gtest.h>

#include <cstring>

#include "demo/frame.h"
#include "demo/music.h"
#include "demo/startup.h"
#include "draw/draw.h"
#include "platform/sound.h"
#include "render/letterbox_band.h"
#include "render/sprite.h"
#include "tests/support/headless_picture.h"

namespace {

// The pixels that differ between two pictures.
int differingPixels(const Picture& a, const Picture& b) {
    int pixels = 0;
    for (std::size_t i = 0; i < a.rgb.size(); i += 3) {
        pixels += std::memcmp(&a.rgb[i], &b.rgb[i], 3) != 0 ? 1 : 0;
    }
    return pixels;
}

int showEnds = 0;

class LetterboxCulling : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        if (ensureHeadlessPicture()) {
            setShowEndHandler([] { ++showEnds; });
            soundSetOutput(kSoundOutputStepped);
            startDemo();
        }
    }
    static void TearDownTestSuite() {
        setLetterboxCulling(true);
        setShowEndHandler(nullptr);
    }
};

// Large sprites crossing the picture's edges and the near plane, one wholly outside, under
// changing matrices, colours and textures (the butterfly's is not symmetric).
void drawSpritesCrossingTheClipPlanes() {
    draw::loadIdentity();
    constexpr float kPlaces[][4] = {
        {-4.1f, 0.3f, -8.0f, 1.5f}, // across the left edge
        {3.0f, -2.9f, -7.0f, 1.2f}, // across the right and bottom edges
        {0.2f, 0.1f, -1.05f, 0.6f}, // across the near plane
        {0.0f, 0.0f, -9.0f, 0.8f},  // inside
        {30.0f, 0.0f, -5.0f, 1.0f}, // wholly outside
    };
    for (int turn = 0; turn < 3; ++turn) {
        draw::rotate(11.0f, 0.3f, 0.2f, 1.0f);
        draw::color(1.0f, 0.9f - 0.2f * turn, 0.95f, 1.0f);
        for (const auto& place : kPlaces) {
            drawSprite(place[0], place[1], place[2], place[3], turn == 1 ? 6 : 4);
        }
    }
    draw::color(1.0f, 1.0f, 1.0f, 1.0f);
}

// Dark untextured sprites along both edges of the open band, just under the bars, where the
// glow reads them to make the band's outer rows.
void drawSpritesAlongTheBandEdges() {
    draw::loadIdentity();
    draw::enableTexturing(false);
    draw::color(0.05f, 0.05f, 0.05f);
    for (int i = -40; i <= 40; ++i) {
        drawSprite(0.1f * static_cast<float>(i), -1.78f, -10.0f, 0.05f, 4);
        drawSprite(0.1f * static_cast<float>(i), 1.78f, -10.0f, 0.05f, 4);
    }
    draw::color(1.0f, 1.0f, 1.0f);
}

// Geometry nearer than the bars' depth shows through them: a culled frame must then still make
// the glow under the bars.
void drawNearQuadUnderTheTopBar() {
    draw::loadIdentity();
    draw::enableTexturing(false);
    draw::color(0.2f, 0.9f, 0.4f);
    draw::begin(draw::Primitive::Quads);
    draw::vertex(-0.5f, 0.35f, -1.5f);
    draw::vertex(0.5f, 0.35f, -1.5f);
    draw::vertex(0.5f, 0.6f, -1.5f);
    draw::vertex(-0.5f, 0.6f, -1.5f);
    draw::end();
    draw::color(1.0f, 1.0f, 1.0f);
}

Picture frameOf(void (*const drawing)(), const bool culling) {
    setLetterboxCulling(culling);
    drawFrameUsing(drawing);
    return readPicture();
}

} // namespace

TEST_F(LetterboxCulling, HardDrawingsGiveTheFullFramesPicture) {
    REQUIRE_HEADLESS_GL();
    soundSetSteppedTime(30.0);
    const struct {
        const char* what;
        void (*drawing)();
    } cases[] = {{"sprites crossing the clip planes", drawSpritesCrossingTheClipPlanes},
                 {"sprites just under the bars", drawSpritesAlongTheBandEdges},
                 {"geometry showing through the bars", drawNearQuadUnderTheTopBar}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        // An empty frame first, so that nothing of an earlier drawing lingers in the glow's
        // textures; the drawing must show.
        const Picture empty = frameOf([] {}, false);
        const Picture full = frameOf(c.drawing, false);
        EXPECT_GT(differingPixels(full, empty), 1000);
        frameOf([] {}, false);
        EXPECT_EQ(differingPixels(full, frameOf(c.drawing, true)), 0);
    }
}

// Every sprite, drawn or dropped, leaves the depth test on, blending off and its slot's texture
// bound, and keeps the caller's colour, texturing and matrix; a slot outside the texture table
// binds no texture. A caller's scissor box survives a culled frame, and only a frame past the
// end of the show ends it.
TEST_F(LetterboxCulling, SpritesLeaveTheirStateAndFramesKeepTheCallersScissorBox) {
    REQUIRE_HEADLESS_GL();
    draw::selectMatrix(draw::MatrixStack::ModelView);
    draw::loadIdentity();
    draw::enableTexturing(true);
    draw::color(0.25f, 0.5f, 0.75f, 1.0f);
    draw::enableDepthTest(false);
    draw::enableBlending(true);
    drawSprite(0, 0, -5, 0.5f, 4);
    draw::translate(1, 0, 0);
    drawSprite(300, 0, -5, 0.5f, 6); // wholly outside the view: dropped
    EXPECT_TRUE(draw::depthTestEnabled());
    EXPECT_FALSE(draw::blendingEnabled());
    EXPECT_TRUE(draw::texturingEnabled());
    EXPECT_EQ(draw::boundTexture(), textureTable[6]);
    EXPECT_FLOAT_EQ(draw::currentColor()[1], 0.5f);
    EXPECT_FLOAT_EQ(draw::currentMatrix(draw::MatrixStack::ModelView)[12], 1.0f);
    for (const int slot : {-1, kTextureSlots}) {
        drawSprite(0, 0, -5, 0.5f, slot);
        EXPECT_EQ(draw::boundTexture(), 0u) << slot;
    }
    draw::color(1, 1, 1, 1);

    draw::scissorBox(draw::Rect{3, 4, 50, 60});
    soundSetSteppedTime(100.0);
    setLetterboxCulling(true);
    drawFrame();
    const draw::Rect box = draw::currentScissorBox();
    EXPECT_FALSE(draw::scissorEnabled());
    EXPECT_TRUE(box.x == 3 && box.y == 4 && box.width == 50 && box.height == 60);
    EXPECT_EQ(showEnds, 0);
    soundSetSteppedTime(287.0);
    drawFrame();
    EXPECT_EQ(showEnds, 0) << "287 s itself is not past the end";
    soundSetSteppedTime(287.001);
    drawFrame();
    EXPECT_EQ(showEnds, 1);
}

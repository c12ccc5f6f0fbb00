// The batched sprite path against the literal one: the same pictures for every scene, and
// the same GL state behind it.
#include <gtest/gtest.h>

#include <cstring>

#include "demo/frame.h"
#include "demo/startup.h"
#include "platform/gl.h"
#include "platform/sound.h"
#include "render/letterbox_band.h"
#include "render/sprite.h"
#include "scenes/scenes.h"
#include "tests/support/headless_picture.h"

namespace {

struct PictureDifference {
    int pixels = 0;   // pixels that differ at all
    int maxLevel = 0; // the largest difference of one channel
};

PictureDifference compare(const Picture& a, const Picture& b) {
    PictureDifference difference;
    for (std::size_t i = 0; i < a.rgb.size(); i += 3) {
        int worst = 0;
        for (int c = 0; c < 3; ++c) {
            worst = std::max(worst, std::abs(a.rgb[i + c] - b.rgb[i + c]));
        }
        difference.pixels += worst > 0 ? 1 : 0;
        difference.maxLevel = std::max(difference.maxLevel, worst);
    }
    return difference;
}

Picture frameAt(const double clock, const SpriteDrawing drawing) {
    setSpriteDrawing(drawing);
    soundSetSteppedTime(clock);
    drawFrame(); // lets the timeline choose the scene of that clock
    drawFrame();
    return readPicture();
}

class SpritePaths : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        if (ensureHeadlessPicture()) {
            setShowEndHandler([] {});
            soundSetOutput(kSoundOutputStepped);
            startDemo();
        }
    }
    static void TearDownTestSuite() {
        setSpriteDrawing(SpriteDrawing::Literal);
        setShowEndHandler(nullptr);
    }
};

} // namespace

TEST_F(SpritePaths, BatchedPicturesMatchTheLiteralOnesForEveryScene) {
    REQUIRE_HEADLESS_GL();
    Vec3 savedCloud[kCloudPointCount];
    for (const SceneRule& rule : SceneTimeline) {
        const double clock = rule.start + (rule.end - rule.start) * 0.6;
        // The drifting clouds move on every frame: start both paths from the same cloud.
        std::memcpy(savedCloud, cloudPoints, sizeof(savedCloud));
        CurrentScene = rule.scene;
        const Picture literal = frameAt(clock, SpriteDrawing::Literal);
        std::memcpy(cloudPoints, savedCloud, sizeof(savedCloud));
        CurrentScene = rule.scene;
        const Picture batched = frameAt(clock, SpriteDrawing::Batched);
        const PictureDifference difference = compare(literal, batched);
        // Both paths give the GL the same clip coordinates and the same current colour: the
        // pictures are identical, not merely close.
        EXPECT_EQ(difference.pixels, 0) << "scene " << rule.scene << " at " << clock << " s";
    }
}

// Skipping the rows under the letterbox must not change one pixel of the finished picture,
// and must leave the scissor test as it found it.
TEST_F(SpritePaths, CulledFramesMatchFullFramesForEveryScene) {
    REQUIRE_HEADLESS_GL();
    Vec3 savedCloud[kCloudPointCount];
    glScissor(3, 4, 50, 60);
    for (const SceneRule& rule : SceneTimeline) {
        const double clock = rule.start + (rule.end - rule.start) * 0.3;
        std::memcpy(savedCloud, cloudPoints, sizeof(savedCloud));
        CurrentScene = rule.scene;
        setLetterboxCulling(false);
        const Picture full = frameAt(clock, SpriteDrawing::Batched);
        std::memcpy(cloudPoints, savedCloud, sizeof(savedCloud));
        CurrentScene = rule.scene;
        setLetterboxCulling(true);
        const Picture culled = frameAt(clock, SpriteDrawing::Batched);
        const PictureDifference difference = compare(full, culled);
        EXPECT_EQ(difference.pixels, 0) << "scene " << rule.scene << " at " << clock << " s";
    }
    EXPECT_FALSE(glIsEnabled(GL_SCISSOR_TEST));
    GLint box[4] = {};
    glGetIntegerv(GL_SCISSOR_BOX, box);
    EXPECT_EQ(box[0], 3);
    EXPECT_EQ(box[1], 4);
    EXPECT_EQ(box[2], 50);
    EXPECT_EQ(box[3], 60);
    setSpriteDrawing(SpriteDrawing::Literal);
}

// Large sprites crossing the picture's edges and the near plane, one wholly outside, under
// changing matrices and colours: the clipped pictures must match the literal path's exactly.
Picture crossingSprites(const SpriteDrawing drawing) {
    setSpriteDrawing(drawing);
    glClearColor(0.8f, 0.7f, 0.6f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glEnable(GL_TEXTURE_2D);
    constexpr float kPlaces[][4] = {
        {-4.1f, 0.3f, -8.0f, 1.5f}, // across the left edge
        {3.0f, -2.9f, -7.0f, 1.2f}, // across the right and bottom edges
        {0.2f, 0.1f, -1.05f, 0.6f}, // across the near plane
        {0.0f, 0.0f, -9.0f, 0.8f},  // inside
        {30.0f, 0.0f, -5.0f, 1.0f}, // wholly outside
    };
    for (int turn = 0; turn < 3; ++turn) {
        glRotatef(11.0f, 0.3f, 0.2f, 1.0f);
        glColor4f(1.0f, 0.9f - 0.2f * turn, 0.95f, 1.0f);
        for (const auto& place : kPlaces) {
            drawSprite(place[0], place[1], place[2], place[3], 4);
        }
    }
    flushSprites();
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
    return readPicture();
}

TEST_F(SpritePaths, SpritesCrossingTheClipPlanesMatchTheLiteralOnesExactly) {
    REQUIRE_HEADLESS_GL();
    GLfloat clearColour[4];
    glGetFloatv(GL_COLOR_CLEAR_VALUE, clearColour);
    const Picture literal = crossingSprites(SpriteDrawing::Literal);
    const Picture batched = crossingSprites(SpriteDrawing::Batched);
    setSpriteDrawing(SpriteDrawing::Literal);
    glClearColor(clearColour[0], clearColour[1], clearColour[2], clearColour[3]);
    EXPECT_EQ(compare(literal, batched).pixels, 0);
}

// Geometry nearer than the bars' depth shows through them: a culled frame must then still make
// the glow under the bars.
void drawNearQuadUnderTheTopBar() {
    glLoadIdentity();
    glDisable(GL_TEXTURE_2D);
    glEnable(GL_DEPTH_TEST);
    glColor3f(0.2f, 0.9f, 0.4f);
    glBegin(GL_QUADS);
    glVertex3f(-0.5f, 0.35f, -1.5f);
    glVertex3f(0.5f, 0.35f, -1.5f);
    glVertex3f(0.5f, 0.6f, -1.5f);
    glVertex3f(-0.5f, 0.6f, -1.5f);
    glEnd();
    glColor3f(1.0f, 1.0f, 1.0f);
}

Picture nearQuadFrame(const bool culling) {
    setLetterboxCulling(culling);
    soundSetSteppedTime(30.0);
    drawFrameUsing(drawNearQuadUnderTheTopBar);
    return readPicture();
}

// Dark untextured sprites along both edges of the open band, just under the bars, where the
// glow reads them to make the band's outer rows.
void drawSpritesAlongTheBandEdges() {
    glLoadIdentity();
    glDisable(GL_TEXTURE_2D);
    glColor3f(0.05f, 0.05f, 0.05f);
    for (int i = -40; i <= 40; ++i) {
        const float x = 0.1f * static_cast<float>(i);
        drawSprite(x, -1.78f, -10.0f, 0.05f, 4);
        drawSprite(x, 1.78f, -10.0f, 0.05f, 4);
    }
    glColor3f(1.0f, 1.0f, 1.0f);
}

Picture bandEdgeFrame(const bool culling) {
    setSpriteDrawing(SpriteDrawing::Batched);
    setLetterboxCulling(culling);
    soundSetSteppedTime(30.0);
    drawFrameUsing(drawSpritesAlongTheBandEdges);
    setSpriteDrawing(SpriteDrawing::Literal);
    return readPicture();
}

TEST_F(SpritePaths, SpritesJustUnderTheBarsStillReachTheBandThroughTheGlow) {
    REQUIRE_HEADLESS_GL();
    // A frame without the sprites first, so that nothing of them lingers in the glow's
    // textures from an earlier frame.
    setLetterboxCulling(false);
    drawFrameUsing([] {});
    const Picture culled = bandEdgeFrame(true);
    const Picture full = bandEdgeFrame(false);
    EXPECT_EQ(compare(full, culled).pixels, 0);
}

TEST_F(SpritePaths, GeometryShowingThroughTheBarsIsNotCulled) {
    REQUIRE_HEADLESS_GL();
    const Picture full = nearQuadFrame(false);
    const Picture culled = nearQuadFrame(true);
    int litUnderBar = 0;
    for (int x = 0; x < kPictureWidth; ++x) {
        const std::uint8_t* const p = full.at(x, 100); // a row under the top bar
        litUnderBar += (p[0] | p[1] | p[2]) != 0 ? 1 : 0;
    }
    EXPECT_GT(litUnderBar, 100) << "the quad shows through the bar";
    EXPECT_EQ(compare(full, culled).pixels, 0);
}

TEST_F(SpritePaths, AFlushLeavesTheStateOfTheLiteralPathAndTheColour) {
    REQUIRE_HEADLESS_GL();
    setSpriteDrawing(SpriteDrawing::Batched);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glEnable(GL_TEXTURE_2D);
    glColor4f(0.25f, 0.5f, 0.75f, 1.0f);
    glDisable(GL_DEPTH_TEST);
    glEnable(GL_BLEND);
    glBlendFunc(GL_ONE, GL_ONE);
    drawSprite(0, 0, -5, 0.5f, 4);
    glTranslatef(1, 0, 0); // a matrix change between sprites stays in the batch
    drawSprite(0, 0, -5, 0.5f, 4);
    flushSprites();
    EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
    EXPECT_FALSE(glIsEnabled(GL_BLEND));
    EXPECT_TRUE(glIsEnabled(GL_TEXTURE_2D));
    GLint source = 0;
    GLint destination = 0;
    glGetIntegerv(GL_BLEND_SRC, &source);
    glGetIntegerv(GL_BLEND_DST, &destination);
    EXPECT_EQ(source, GL_DST_COLOR);
    EXPECT_EQ(destination, GL_ZERO);
    GLint bound = -1;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
    EXPECT_EQ(static_cast<unsigned>(bound), textureTable[4]);
    float color[4] = {};
    glGetFloatv(GL_CURRENT_COLOR, color);
    EXPECT_FLOAT_EQ(color[0], 0.25f);
    EXPECT_FLOAT_EQ(color[2], 0.75f);
    float matrix[16] = {};
    glGetFloatv(GL_MODELVIEW_MATRIX, matrix);
    EXPECT_FLOAT_EQ(matrix[12], 1.0f) << "the scene's matrix is kept";
    glColor4f(1, 1, 1, 1);
    setSpriteDrawing(SpriteDrawing::Literal);
}

// The batched sprite path against the literal one: the same pictures for every scene, and
// the same GL state behind it.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "demo/frame.h"
#include "demo/music.h"
#include "demo/startup.h"
#include "platform/gl.h"
#include "platform/sound.h"
#include "render/letterbox_band.h"
#include "render/sprite.h"
#include "scenes/scenes.h"
#include "tests/support/headless_picture.h"
#include "text/caption_tables.h"

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

// One frame of the show at `clock` on each path, the batched one first, from the same scene,
// cloud and spectrum; whole seconds draw a full literal frame and a culled batched one, half
// seconds the other way round, so that skipping the rows under the letterbox is checked on
// both paths. Both paths give the GL the same clip coordinates and current colour: the
// pictures are identical, not merely close.
void expectPathsMatch(const double clock, const int frames) {
    Vec3 savedCloud[kCloudPointCount];
    std::memcpy(savedCloud, cloudPoints, sizeof(savedCloud));
    float savedSpectrum[64];
    std::memcpy(savedSpectrum, Spectrum, sizeof(savedSpectrum));
    const int scene = CurrentScene;
    const bool wholeSecond = clock == static_cast<int>(clock);
    Picture pictures[2];
    for (const SpriteDrawing drawing : {SpriteDrawing::Batched, SpriteDrawing::Literal}) {
        const bool batched = drawing == SpriteDrawing::Batched;
        std::memcpy(cloudPoints, savedCloud, sizeof(savedCloud));
        std::memcpy(Spectrum, savedSpectrum, sizeof(savedSpectrum));
        CurrentScene = scene;
        setLetterboxCulling(batched == wholeSecond);
        setSpriteDrawing(drawing);
        soundSetSteppedTime(clock);
        for (int frame = 0; frame < frames; ++frame) {
            drawFrame();
        }
        pictures[batched ? 0 : 1] = readPicture();
    }
    EXPECT_EQ(compare(pictures[0], pictures[1]).pixels, 0) << "scene " << scene << " at " << clock;
}

// The half seconds of the show from half a second before to one and a half after a scene
// boundary or an edge of a black-out, and through the final fade; every two seconds between.
bool sampledClock(const double clock) {
    const auto near = [clock](const float edge) {
        return clock >= edge - 0.5 && clock <= edge + 1.5;
    };
    bool sampled = std::fmod(clock, 2.0) == 0.0;
    for (const SceneRule& rule : SceneTimeline) {
        sampled = sampled || near(rule.start) || near(rule.end);
    }
    for (const BlackoutRow& row : BlackoutTable) {
        sampled = sampled ||
                  (row.step == BlackoutStep::Blackout && (near(row.start) || near(row.end))) ||
                  (row.step == BlackoutStep::FinalFade && clock >= row.start - 0.5);
    }
    return sampled;
}

// The whole show run on the sampled clocks: every scene, boundary, black-out and the fade.
// Then frames whose sprites all lie outside the view under a black-out or the fade, after a
// frame that drew text (what a render starting there used to get): the state the dropped
// sprites leave must still be the literal path's.
TEST_F(SpritePaths, BatchedPicturesMatchTheLiteralOnesThroughTheWholeShow) {
    REQUIRE_HEADLESS_GL();
    glScissor(3, 4, 50, 60);
    CurrentScene = 0;
    for (int step = 0; step <= 2 * 287; ++step) {
        if (sampledClock(0.5 * step)) {
            expectPathsMatch(0.5 * step, 1);
        }
    }
    for (const double clock : {262.0, 270.0, 280.5, 283.0}) {
        CurrentScene = 0; // the rising cloud, far above the view by then
        expectPathsMatch(clock, 2);
    }
    EXPECT_FALSE(glIsEnabled(GL_SCISSOR_TEST));
    GLint box[4] = {};
    glGetIntegerv(GL_SCISSOR_BOX, box);
    EXPECT_EQ(box[0], 3);
    EXPECT_EQ(box[1], 4);
    EXPECT_EQ(box[2], 50);
    EXPECT_EQ(box[3], 60);
    setLetterboxCulling(true);
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

// Every call leaves the literal path's state, a dropped sprite too, and a flush puts it back
// after drawing: the binding of the last call, the colour and the matrix of the caller.
TEST_F(SpritePaths, EveryCallAndAFlushLeaveTheStateOfTheLiteralPath) {
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
    // Another colour, and a sprite of another texture wholly outside the view: dropped.
    glColor4f(0.5f, 0.25f, 1.0f, 1.0f);
    glEnable(GL_BLEND);
    glBindTexture(GL_TEXTURE_2D, 0);
    drawSprite(300, 0, -5, 0.5f, 6);
    for (const bool flushed : {false, true}) {
        SCOPED_TRACE(flushed ? "after the flush" : "after the dropped sprite");
        if (flushed) {
            flushSprites();
        }
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
        EXPECT_EQ(static_cast<unsigned>(bound), textureTable[6]);
        float color[4] = {};
        glGetFloatv(GL_CURRENT_COLOR, color);
        EXPECT_FLOAT_EQ(color[0], 0.5f);
        EXPECT_FLOAT_EQ(color[1], 0.25f);
        float matrix[16] = {};
        glGetFloatv(GL_MODELVIEW_MATRIX, matrix);
        EXPECT_FLOAT_EQ(matrix[12], 1.0f) << "the scene's matrix is kept";
    }
    glColor4f(1, 1, 1, 1);
    setSpriteDrawing(SpriteDrawing::Literal);
}

// The batched sprite path and letterbox culling against the full literal frame: the same
// pictures for every scene and for drawings made to be hard, and the same GL state behind it.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <set>

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

// The pixels that differ between two pictures.
int differingPixels(const Picture& a, const Picture& b) {
    int pixels = 0;
    for (std::size_t i = 0; i < a.rgb.size(); i += 3) {
        pixels += std::memcmp(&a.rgb[i], &b.rgb[i], 3) != 0 ? 1 : 0;
    }
    return pixels;
}

int showEnds = 0;

class SpritePaths : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        if (ensureHeadlessPicture()) {
            setShowEndHandler([] { ++showEnds; });
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
// cloud and spectrum, with the rows under the letterbox skipped on one path of the two: the
// batched one when `cullBatched`. Both paths give the GL the same clip coordinates and current
// colour: the pictures are identical, not merely close. Since the second frame draws the same
// clock again, a scene whose picture changed from one frame to the next would show here too.
void expectPathsMatch(const double clock, const int frames, const bool cullBatched) {
    Vec3 savedCloud[kCloudPointCount];
    std::memcpy(savedCloud, cloudPoints, sizeof(savedCloud));
    float savedSpectrum[64];
    std::memcpy(savedSpectrum, Spectrum, sizeof(savedSpectrum));
    const int scene = CurrentScene;
    Picture pictures[2];
    for (const SpriteDrawing drawing : {SpriteDrawing::Batched, SpriteDrawing::Literal}) {
        const bool batched = drawing == SpriteDrawing::Batched;
        std::memcpy(cloudPoints, savedCloud, sizeof(savedCloud));
        std::memcpy(Spectrum, savedSpectrum, sizeof(savedSpectrum));
        CurrentScene = scene;
        setLetterboxCulling(batched == cullBatched);
        setSpriteDrawing(drawing);
        soundSetSteppedTime(clock);
        for (int frame = 0; frame < frames; ++frame) {
            drawFrame();
        }
        pictures[batched ? 0 : 1] = readPicture();
    }
    EXPECT_EQ(differingPixels(pictures[0], pictures[1]), 0) << "scene " << scene << " at " << clock;
}

// Half a second before every scene boundary and every edge of a black-out, half a second and a
// second after it (the first frames that draw the new state and then the new scene), and a few
// moments of the final fade, in order.
std::set<double> sampledClocks() {
    std::set<double> clocks;
    const auto around = [&clocks](const float edge) {
        for (const double clock : {edge - 0.5, edge + 0.5, edge + 1.0}) {
            if (clock >= 0.0) {
                clocks.insert(clock);
            }
        }
    };
    for (const SceneRule& rule : SceneTimeline) {
        around(rule.start);
        around(rule.end);
    }
    for (const BlackoutRow& row : BlackoutTable) {
        if (row.step == BlackoutStep::Blackout) {
            around(row.start);
            around(row.end);
        }
        if (row.step == BlackoutStep::FinalFade) {
            for (const double after : {0.0, 2.0, 4.5, 7.0, 9.0}) {
                clocks.insert(row.start + after);
            }
        }
    }
    return clocks;
}

// The whole show run on the sampled clocks, with the culled path alternating: every scene,
// boundary, black-out and the fade. Then frames whose sprites all lie outside the view under a
// black-out or the fade, after a frame that drew text (what a render starting there used to
// get): the state the dropped sprites leave must still be the literal path's. A caller's
// scissor box survives, and only a frame past the end of the show ends it.
TEST_F(SpritePaths, BatchedPicturesMatchTheLiteralOnesThroughTheWholeShow) {
    REQUIRE_HEADLESS_GL();
    glScissor(3, 4, 50, 60);
    CurrentScene = 0;
    bool cullBatched = false;
    for (const double clock : sampledClocks()) {
        expectPathsMatch(clock, 1, cullBatched = !cullBatched);
    }
    for (const double clock : {262.0, 270.0, 280.5, 283.0}) {
        CurrentScene = 0; // the rising cloud, far above the view by then
        expectPathsMatch(clock, 2, cullBatched = !cullBatched);
    }
    EXPECT_FALSE(glIsEnabled(GL_SCISSOR_TEST));
    GLint box[4] = {};
    glGetIntegerv(GL_SCISSOR_BOX, box);
    EXPECT_TRUE(box[0] == 3 && box[1] == 4 && box[2] == 50 && box[3] == 60);
    EXPECT_EQ(showEnds, 0) << "287 s itself is not past the end";
    soundSetSteppedTime(287.001);
    drawFrame();
    EXPECT_EQ(showEnds, 1);
    setLetterboxCulling(true);
    setSpriteDrawing(SpriteDrawing::Literal);
}

// Large sprites crossing the picture's edges and the near plane, one wholly outside, under
// changing matrices, colours and textures (the butterfly's is not symmetric).
void drawSpritesCrossingTheClipPlanes() {
    glLoadIdentity();
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
            drawSprite(place[0], place[1], place[2], place[3], turn == 1 ? 6 : 4);
        }
    }
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
}

// Dark untextured sprites along both edges of the open band, just under the bars, where the
// glow reads them to make the band's outer rows.
void drawSpritesAlongTheBandEdges() {
    glLoadIdentity();
    glDisable(GL_TEXTURE_2D);
    glColor3f(0.05f, 0.05f, 0.05f);
    for (int i = -40; i <= 40; ++i) {
        drawSprite(0.1f * static_cast<float>(i), -1.78f, -10.0f, 0.05f, 4);
        drawSprite(0.1f * static_cast<float>(i), 1.78f, -10.0f, 0.05f, 4);
    }
    glColor3f(1.0f, 1.0f, 1.0f);
}

// Geometry nearer than the bars' depth shows through them: a culled frame must then still make
// the glow under the bars.
void drawNearQuadUnderTheTopBar() {
    glLoadIdentity();
    glDisable(GL_TEXTURE_2D);
    glColor3f(0.2f, 0.9f, 0.4f);
    glBegin(GL_QUADS);
    glVertex3f(-0.5f, 0.35f, -1.5f);
    glVertex3f(0.5f, 0.35f, -1.5f);
    glVertex3f(0.5f, 0.6f, -1.5f);
    glVertex3f(-0.5f, 0.6f, -1.5f);
    glEnd();
    glColor3f(1.0f, 1.0f, 1.0f);
}

Picture frameOf(void (*const draw)(), const SpriteDrawing drawing, const bool culling) {
    setSpriteDrawing(drawing);
    setLetterboxCulling(culling);
    drawFrameUsing(draw);
    setSpriteDrawing(SpriteDrawing::Literal);
    return readPicture();
}

TEST_F(SpritePaths, HardDrawingsMatchTheFullLiteralFrameBatchedAndCulled) {
    REQUIRE_HEADLESS_GL();
    soundSetSteppedTime(30.0);
    const struct {
        const char* what;
        void (*draw)();
    } cases[] = {{"sprites crossing the clip planes", drawSpritesCrossingTheClipPlanes},
                 {"sprites just under the bars", drawSpritesAlongTheBandEdges},
                 {"geometry showing through the bars", drawNearQuadUnderTheTopBar}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        // An empty frame first, so that nothing of an earlier drawing lingers in the glow's
        // textures; the drawing must show.
        const Picture empty = frameOf([] {}, SpriteDrawing::Literal, false);
        const Picture full = frameOf(c.draw, SpriteDrawing::Literal, false);
        EXPECT_GT(differingPixels(full, empty), 1000);
        for (const bool culling : {false, true}) {
            frameOf([] {}, SpriteDrawing::Literal, false);
            EXPECT_EQ(differingPixels(full, frameOf(c.draw, SpriteDrawing::Batched, culling)), 0)
                << (culling ? "batched and culled" : "batched");
        }
    }
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
    // A slot outside the texture table binds no texture instead of reading past the table.
    for (const int slot : {-1, kTextureSlots}) {
        drawSprite(0, 0, -5, 0.5f, slot);
        GLint none = -1;
        glGetIntegerv(GL_TEXTURE_BINDING_2D, &none);
        EXPECT_EQ(none, 0) << slot;
    }
    glColor4f(1, 1, 1, 1);
    setSpriteDrawing(SpriteDrawing::Literal);
}

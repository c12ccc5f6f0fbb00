#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "demo/music.h"
#include "demo/startup.h"
#include "platform/gl.h"
#include "scenes/scenes.h"
#include "tests/support/headless_picture.h"
#include "tests/support/sprite_log.h"

namespace {

// Where the object point p lies in eye space under the recorded model-view matrix.
Vec3 eyePoint(const SpriteRecord& sprite, const Vec3 p) {
    const float* const m = sprite.modelView;
    return Vec3{m[0] * p.x + m[4] * p.y + m[8] * p.z + m[12],
                m[1] * p.x + m[5] * p.y + m[9] * p.z + m[13],
                m[2] * p.x + m[6] * p.y + m[10] * p.z + m[14]};
}

std::vector<SpriteRecord> drawAt(const float clock) {
    MusicClock = clock;
    SpriteLog log;
    drawRisingCloud();
    return log.sprites();
}

} // namespace

TEST(RisingCloud, DrawsTheWholeCloudWithSizesFromHalfToTwoAndAHalf) {
    REQUIRE_HEADLESS_GL();
    const std::vector<SpriteRecord> sprites = drawAt(3.0f);
    ASSERT_EQ(sprites.size(), 2000u);
    EXPECT_FLOAT_EQ(sprites[0].size, 1.5f);
    float smallest = 10.0f;
    float largest = 0.0f;
    for (const SpriteRecord& sprite : sprites) {
        smallest = std::min(smallest, sprite.size);
        largest = std::max(largest, sprite.size);
        EXPECT_EQ(sprite.slot, 4);
    }
    EXPECT_GE(smallest, 0.5f);
    EXPECT_LE(largest, 2.5f);
    EXPECT_LT(smallest, 0.51f);
    EXPECT_GT(largest, 2.49f);
}

TEST(RisingCloud, RisesFromBelowTheEyeAndTurnsAboutTheVerticalAxis) {
    REQUIRE_HEADLESS_GL();
    const Vec3 centre{0, 0, 0};
    const Vec3 atStart = eyePoint(drawAt(0.0f)[0], centre);
    EXPECT_NEAR(atStart.x, -1.0f, 1e-5f);
    EXPECT_NEAR(atStart.y, -33.0f, 1e-5f);
    EXPECT_NEAR(atStart.z, -8.0f, 1e-5f);
    EXPECT_NEAR(eyePoint(drawAt(25.0f)[0], centre).y, -8.0f, 1e-5f);
    EXPECT_NEAR(eyePoint(drawAt(33.0f)[0], centre).y, 0.0f, 1e-5f);

    // At 90 s the cloud has turned 90 degrees: its x axis points away from the eye and its
    // y axis still points up.
    const SpriteRecord turned = drawAt(90.0f)[0];
    const Vec3 xAxis = eyePoint(turned, Vec3{1, 0, 0});
    const Vec3 origin = eyePoint(turned, centre);
    EXPECT_NEAR(xAxis.x - origin.x, 0.0f, 1e-5f);
    EXPECT_NEAR(xAxis.z - origin.z, -1.0f, 1e-5f);
    EXPECT_NEAR(eyePoint(turned, Vec3{0, 1, 0}).y - origin.y, 1.0f, 1e-5f);
}

TEST(RisingCloud, DriftMovesOnlyXAndStaysInTheCloud) {
    REQUIRE_HEADLESS_GL();
    scatterCloudPoints();
    const std::vector<Vec3> before(cloudPoints, cloudPoints + kCloudPointCount);
    const std::vector<SpriteRecord> first = drawAt(7.25f);
    const std::vector<Vec3> once(cloudPoints, cloudPoints + kCloudPointCount);
    drawAt(7.25f);
    ASSERT_EQ(first.size(), 2000u);
    int moved = 0;
    for (int i = 0; i < kCloudPointCount; ++i) {
        // Each sprite is drawn where the drifted point now is.
        EXPECT_EQ(first[i].position.x, once[i].x);
        EXPECT_EQ(once[i].y, before[i].y);
        EXPECT_EQ(once[i].z, before[i].z);
        EXPECT_EQ(cloudPoints[i].y, before[i].y);
        const float step = once[i].x - before[i].x;
        EXPECT_LE(std::abs(step), 0.0051f);
        // The second frame at the same clock moves x by the same amount again.
        EXPECT_NEAR(cloudPoints[i].x - once[i].x, step, 1e-5f);
        moved += std::abs(step) > 1e-3f ? 1 : 0;
    }
    EXPECT_GT(moved, 1000);
    std::copy(before.begin(), before.end(), cloudPoints);
}

// Every particle scene sets up its own model-view matrix and texturing, and ends with the
// depth test on, blending off and the particle texture bound, whatever it found.
class ParticleScenePattern : public testing::TestWithParam<void (*)()> {};

TEST_P(ParticleScenePattern, SetsItsOwnStateAndLeavesTheSpriteState) {
    REQUIRE_HEADLESS_GL();
    GLuint particleTexture = 0;
    glGenTextures(1, &particleTexture);
    textureTable[4] = particleTexture;
    const std::vector<Vec3> cloud(cloudPoints, cloudPoints + kCloudPointCount);
    MusicClock = 12.5f;

    std::vector<SpriteRecord> firstSprites[2];
    const float leftovers[2] = {0.0f, 7.0f};
    for (int pass = 0; pass < 2; ++pass) {
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        glTranslatef(leftovers[pass], -leftovers[pass], leftovers[pass]);
        glDisable(GL_TEXTURE_2D);
        glDisable(GL_DEPTH_TEST);
        glEnable(GL_BLEND);
        glBindTexture(GL_TEXTURE_2D, 0);
        SpriteLog log;
        GetParam()();
        ASSERT_FALSE(log.sprites().empty());
        firstSprites[pass] = log.sprites();
        EXPECT_TRUE(glIsEnabled(GL_TEXTURE_2D));
        EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
        EXPECT_FALSE(glIsEnabled(GL_BLEND));
        GLint bound = 0;
        glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
        EXPECT_EQ(static_cast<GLuint>(bound), particleTexture);
        for (const SpriteRecord& sprite : log.sprites()) {
            ASSERT_EQ(sprite.slot, 4);
        }
        std::copy(cloud.begin(), cloud.end(), cloudPoints);
    }
    // The matrix left over from before the scene has no effect on what it draws.
    for (int k = 0; k < 16; ++k) {
        EXPECT_EQ(firstSprites[0][0].modelView[k], firstSprites[1][0].modelView[k]);
    }
    textureTable[4] = 0;
    glDeleteTextures(1, &particleTexture);
}

INSTANTIATE_TEST_SUITE_P(Scenes, ParticleScenePattern,
                         testing::Values(&drawRisingCloud, &drawWaveSheet, &drawParticleTunnel,
                                         &drawSpectrumRings, &drawLatticeCube, &drawCloudMorph));

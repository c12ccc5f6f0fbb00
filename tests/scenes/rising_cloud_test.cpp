#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "demo/music.h"
#include "demo/startup.h"
#include "platform/gl.h"
#include "scenes/scenes.h"
#include "tests/support/headless_picture.h"
#include "tests/support/sprite_log.h"

namespace {

std::vector<SpriteRecord> drawCloudAt(const float clock) {
    return recordSceneSprites(drawRisingCloud, clock);
}

} // namespace

TEST(RisingCloud, RisesTowardTheEyeTurningWithSizesFromHalfToTwoAndAHalf) {
    REQUIRE_HEADLESS_GL();
    const std::vector<SpriteRecord> start = drawCloudAt(0.0f);
    ASSERT_EQ(start.size(), 2000u);
    EXPECT_FLOAT_EQ(start[0].size, 1.5f);
    const auto [smallest, largest] = std::minmax_element(
        start.begin(), start.end(), [](auto& a, auto& b) { return a.size < b.size; });
    EXPECT_GE(smallest->size, 0.5f);
    EXPECT_LT(smallest->size, 0.51f);
    EXPECT_LE(largest->size, 2.5f);
    EXPECT_GT(largest->size, 2.49f);

    // The cloud's centre in eye space: 33 below the eye at 0 s, level with it at 33 s.
    const float* const m = start[0].modelView;
    EXPECT_NEAR(m[12], -1.0f, 1e-5f);
    EXPECT_NEAR(m[13], -33.0f, 1e-5f);
    EXPECT_NEAR(m[14], -8.0f, 1e-5f);
    EXPECT_NEAR(drawCloudAt(33.0f)[0].modelView[13], 0.0f, 1e-5f);
    // At 90 s it has turned 90 degrees about the vertical: its x axis points away.
    const SpriteRecord turned = drawCloudAt(90.0f)[0];
    EXPECT_NEAR(turned.modelView[0], 0.0f, 1e-5f);
    EXPECT_NEAR(turned.modelView[2], -1.0f, 1e-5f);
    EXPECT_NEAR(turned.modelView[5], 1.0f, 1e-5f);
}

TEST(RisingCloud, DriftMovesOnlyXOncePerFrameAndStaysInTheCloud) {
    REQUIRE_HEADLESS_GL();
    scatterCloudPoints();
    const std::vector<Vec3> before(cloudPoints, cloudPoints + kCloudPointCount);
    const std::vector<SpriteRecord> first = drawCloudAt(7.25f);
    const std::vector<Vec3> once(cloudPoints, cloudPoints + kCloudPointCount);
    drawCloudAt(7.25f);
    int moved = 0;
    for (int i = 0; i < kCloudPointCount; ++i) {
        ASSERT_EQ(first[i].position.x, once[i].x); // drawn where the drift put it
        ASSERT_EQ(cloudPoints[i].y, before[i].y);
        ASSERT_EQ(cloudPoints[i].z, before[i].z);
        const float step = once[i].x - before[i].x;
        ASSERT_LE(std::abs(step), 0.0051f);
        ASSERT_NEAR(cloudPoints[i].x - once[i].x, step, 1e-5f); // the same again
        moved += std::abs(step) > 1e-3f;
    }
    EXPECT_GT(moved, 1000);
}

// Every particle scene sets up its own model-view matrix and texturing, and ends with the
// depth test on, blending off and the particle texture bound, whatever it found.
class ParticleScenePattern : public testing::TestWithParam<void (*)()> {};

TEST_P(ParticleScenePattern, SetsItsOwnStateAndLeavesTheSpriteState) {
    REQUIRE_HEADLESS_GL();
    GLuint particleTexture = 0;
    glGenTextures(1, &particleTexture);
    textureTable[4] = particleTexture;
    MusicClock = 12.5f;
    std::vector<float> firstMatrices[2];
    for (int pass = 0; pass < 2; ++pass) {
        glLoadIdentity();
        glTranslatef(0.0f, static_cast<float>(pass) * 7.0f, 0.0f);
        glDisable(GL_TEXTURE_2D);
        glDisable(GL_DEPTH_TEST);
        glEnable(GL_BLEND);
        glBindTexture(GL_TEXTURE_2D, 0);
        SpriteLog log;
        GetParam()();
        ASSERT_FALSE(log.sprites().empty());
        const float* const m = log.sprites()[0].modelView;
        firstMatrices[pass].assign(m, m + 16);
        EXPECT_TRUE(glIsEnabled(GL_TEXTURE_2D));
        EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
        EXPECT_FALSE(glIsEnabled(GL_BLEND));
        GLint bound = 0;
        glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
        EXPECT_EQ(static_cast<GLuint>(bound), particleTexture);
        EXPECT_TRUE(std::all_of(log.sprites().begin(), log.sprites().end(),
                                [](const SpriteRecord& s) { return s.slot == 4; }));
    }
    EXPECT_EQ(firstMatrices[0], firstMatrices[1]); // the leftover matrix has no effect
    textureTable[4] = 0;
    glDeleteTextures(1, &particleTexture);
}

INSTANTIATE_TEST_SUITE_P(Scenes, ParticleScenePattern,
                         testing::Values(&drawRisingCloud, &drawWaveSheet, &drawParticleTunnel,
                                         &drawSpectrumRings, &drawLatticeCube, &drawCloudMorph));

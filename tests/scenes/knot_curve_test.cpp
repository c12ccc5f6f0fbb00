#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

#include "demo/music.h"
#include "platform/gl.h"
#include "scenes/scenes.h"
#include "tests/support/headless_picture.h"
#include "tests/support/sprite_log.h"

namespace {

constexpr std::size_t kParticles = 6000;

std::vector<SpriteRecord> drawKnotAt(const float clock, const float xWeight = 4.0f,
                                     const float yWeight = 6.0f, const float zWeight = 3.0f) {
    MusicClock = clock;
    SpriteLog log;
    drawKnotCurve(xWeight, yWeight, zWeight);
    return log.sprites();
}

} // namespace

TEST(KnotCurve, FirstParticleAndTheCurvesExtent) {
    REQUIRE_HEADLESS_GL();
    const float t = 195.5f;
    const std::vector<SpriteRecord> sprites = drawKnotAt(t);
    ASSERT_EQ(sprites.size(), kParticles);

    EXPECT_FLOAT_EQ(sprites[0].position.x, 50.0f);
    EXPECT_FLOAT_EQ(sprites[0].position.y, 0.0f);
    EXPECT_NEAR(sprites[0].position.z, 0.4 * std::sin(195.5), 1e-5);
    EXPECT_NEAR(sprites[0].size, 0.8 + 0.5 * (std::sin(195.5) + std::cos(195.5)), 1e-5);

    float minX = 1e9f, maxX = -1e9f, minY = 1e9f, maxY = -1e9f;
    float minSize = 1e9f, maxSize = -1e9f;
    for (const SpriteRecord& s : sprites) {
        EXPECT_EQ(s.slot, 4);
        minX = std::min(minX, s.position.x);
        maxX = std::max(maxX, s.position.x);
        minY = std::min(minY, s.position.y);
        maxY = std::max(maxY, s.position.y);
        minSize = std::min(minSize, s.size);
        maxSize = std::max(maxSize, s.size);
    }
    EXPECT_NEAR(minX, -30.0f, 0.01f);
    EXPECT_FLOAT_EQ(maxX, 50.0f);
    EXPECT_NEAR(minY, -39.436f, 0.01f);
    EXPECT_NEAR(maxY, 39.436f, 0.01f);
    // Sizes pulse within 0.8 +- sqrt(0.5), and 6000 phases reach close to both ends.
    EXPECT_GE(minSize, 0.8f - 0.70711f);
    EXPECT_LE(maxSize, 0.8f + 0.70711f);
    EXPECT_LT(minSize, 0.095f);
    EXPECT_GT(maxSize, 1.505f);
}

TEST(KnotCurve, TheStepIsBuiltFrom314NotPi) {
    REQUIRE_HEADLESS_GL();
    const std::vector<SpriteRecord> sprites = drawKnotAt(192.0f);
    ASSERT_EQ(sprites.size(), kParticles);
    // After 60 steps u = 6.28, 0.0032 short of a whole turn: particle 60 sits next to particle
    // 0 but not on it. With pi the two would coincide in x and y.
    const Vec3 first = sprites[0].position;
    const Vec3 lap = sprites[60].position;
    EXPECT_NEAR(lap.x, first.x, 0.01f);
    EXPECT_GT(std::fabs(lap.y - first.y), 0.3f);
    EXPECT_LT(std::fabs(lap.y - first.y), 0.4f);
}

TEST(KnotCurve, EachWeightShapesItsOwnAxis) {
    REQUIRE_HEADLESS_GL();
    const float t = 197.0f;
    const std::vector<SpriteRecord> base = drawKnotAt(t);
    const std::vector<SpriteRecord> noX = drawKnotAt(t, 0.0f, 6.0f, 3.0f);
    const std::vector<SpriteRecord> noZ = drawKnotAt(t, 4.0f, 6.0f, 0.0f);
    const std::vector<SpriteRecord> noY = drawKnotAt(t, 4.0f, 0.0f, 3.0f);
    ASSERT_EQ(noX.size(), kParticles);
    ASSERT_EQ(noY.size(), kParticles);
    ASSERT_EQ(noZ.size(), kParticles);

    // Without the x weight particle 0 keeps only cos 2u + cos 4u: x = 10.
    EXPECT_FLOAT_EQ(noX[0].position.x, 10.0f);
    int xChanged = 0, zChanged = 0;
    for (std::size_t i = 0; i < kParticles; ++i) {
        EXPECT_EQ(noX[i].position.y, base[i].position.y);
        EXPECT_EQ(noX[i].position.z, base[i].position.z);
        EXPECT_EQ(noZ[i].position.x, base[i].position.x);
        EXPECT_EQ(noZ[i].position.y, base[i].position.y);
        EXPECT_EQ(noY[i].position.x, base[i].position.x);
        EXPECT_EQ(noX[i].size, base[i].size);
        xChanged += noX[i].position.x != base[i].position.x;
        zChanged += noZ[i].position.z != base[i].position.z;
    }
    EXPECT_GT(xChanged, 5000);
    EXPECT_GT(zChanged, 5000);
    // The y weight alone moves y; z follows through the depth ripple only (at most 0.8).
    for (std::size_t i = 0; i < kParticles; ++i) {
        EXPECT_LE(std::fabs(noY[i].position.z - base[i].position.z), 0.8f + 1e-4f);
    }
}

TEST(KnotCurve, CurveTurnsFiftyUnitsAwayAndRipplesInDepth) {
    REQUIRE_HEADLESS_GL();
    const std::vector<SpriteRecord> early = drawKnotAt(50.0f);
    ASSERT_EQ(early.size(), kParticles);
    // At t = 50 the turn about y is 360 degrees: only the 20 degree tilt about x remains.
    const float* m = early[0].modelView;
    const float c = std::cos(20.0f * 3.14159265f / 180.0f);
    const float s = std::sin(20.0f * 3.14159265f / 180.0f);
    const float expected[16] = {1, 0, 0, 0, 0, c, s, 0, 0, -s, c, 0, 0, 0, -50, 1};
    for (int k = 0; k < 16; ++k) {
        EXPECT_NEAR(m[k], expected[k], 1e-5f) << k;
    }
    for (const SpriteRecord& sprite : early) {
        ASSERT_EQ(std::memcmp(sprite.modelView, m, sizeof(sprite.modelView)), 0);
    }

    // Between two times each particle moves only in z, by its ripple 0.4 sin(t + y).
    const std::vector<SpriteRecord> later = drawKnotAt(51.0f);
    for (std::size_t i = 0; i < kParticles; i += 97) {
        const float y = early[i].position.y;
        EXPECT_EQ(later[i].position.x, early[i].position.x);
        EXPECT_EQ(later[i].position.y, y);
        const double ripple = 0.4 * (std::sin(51.0f + y) - std::sin(50.0f + y));
        EXPECT_NEAR(later[i].position.z - early[i].position.z, ripple, 2e-5) << i;
    }
}

TEST(KnotCurve, LeavesWhiteColourAndBlendingOff) {
    REQUIRE_HEADLESS_GL();
    glColor4f(0.2f, 0.3f, 0.4f, 0.5f);
    drawKnotAt(199.0f);
    float colour[4];
    glGetFloatv(GL_CURRENT_COLOR, colour);
    for (const float channel : colour) {
        EXPECT_EQ(channel, 1.0f);
    }
    EXPECT_FALSE(glIsEnabled(GL_BLEND));
    EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
    EXPECT_TRUE(glIsEnabled(GL_TEXTURE_2D));
}

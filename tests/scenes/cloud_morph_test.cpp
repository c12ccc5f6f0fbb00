#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "demo/music.h"
#include "scenes/scenes.h"
#include "tests/support/headless_picture.h"
#include "tests/support/sprite_log.h"

namespace {

// Both clouds filled, whatever the tests before left in them.
void fillClouds() {
    scatterCloudPoints();
    scatterSmallCloudPoints();
}

std::vector<SpriteRecord> drawMorphAt(const float clock) {
    MusicClock = clock;
    SpriteLog log;
    drawCloudMorph();
    return log.sprites();
}

// How far each drawn point has gone from the wide cloud toward the compact one, measured on
// the coordinates where the two clouds are well apart; returns the smallest and largest.
std::pair<float, float> blendRange(const std::vector<SpriteRecord>& sprites) {
    float lowest = 2.0f;
    float highest = -1.0f;
    for (std::size_t i = 0; i < sprites.size(); ++i) {
        const Vec3& p = sprites[i].position;
        const Vec3& a = cloudPoints[i];
        const Vec3& b = smallCloudPoints[i];
        const float drawn[3] = {p.x, p.y, p.z};
        const float wide[3] = {a.x, a.y, a.z};
        const float compact[3] = {b.x, b.y, b.z};
        for (int c = 0; c < 3; ++c) {
            if (std::abs(compact[c] - wide[c]) > 4.0f) {
                const float weight = (drawn[c] - wide[c]) / (compact[c] - wide[c]);
                lowest = std::min(lowest, weight);
                highest = std::max(highest, weight);
            }
        }
    }
    return {lowest, highest};
}

} // namespace

TEST(CloudMorph, Draws600PointsBetweenTheTwoClouds) {
    REQUIRE_HEADLESS_GL();
    fillClouds();
    const std::vector<SpriteRecord> sprites = drawMorphAt(106.0f);
    ASSERT_EQ(sprites.size(), 600u);
    for (const SpriteRecord& sprite : sprites) {
        ASSERT_EQ(sprite.size, 0.38f);
    }
    // At the scene's start the points are mostly on the compact cloud.
    const auto [lowest, highest] = blendRange(sprites);
    EXPECT_NEAR(lowest, 0.807f, 1e-3f);
    EXPECT_NEAR(highest, 0.807f, 1e-3f);
}

TEST(CloudMorph, SwingsFromTheWideCloudToTheCompactOne) {
    REQUIRE_HEADLESS_GL();
    fillClouds();
    // The wide cloud is read as the rising cloud's drift left it.
    const Vec3 saved = cloudPoints[0];
    cloudPoints[0].x += 0.75f;
    const std::vector<SpriteRecord> wide = drawMorphAt(109.9557f);
    for (std::size_t i = 0; i < wide.size(); ++i) {
        ASSERT_NEAR(wide[i].position.x, cloudPoints[i].x, 1e-4f) << i;
        ASSERT_NEAR(wide[i].position.y, cloudPoints[i].y, 1e-4f) << i;
        ASSERT_NEAR(wide[i].position.z, cloudPoints[i].z, 1e-4f) << i;
    }
    cloudPoints[0] = saved;
    const std::vector<SpriteRecord> compact = drawMorphAt(117.81f);
    for (std::size_t i = 0; i < compact.size(); ++i) {
        ASSERT_NEAR(compact[i].position.x, smallCloudPoints[i].x, 1e-4f) << i;
        ASSERT_NEAR(compact[i].position.y, smallCloudPoints[i].y, 1e-4f) << i;
        ASSERT_NEAR(compact[i].position.z, smallCloudPoints[i].z, 1e-4f) << i;
    }
    // Where the swing is at half amplitude the ease puts the points half-way.
    const auto [lowest, highest] = blendRange(drawMorphAt(112.5737f));
    EXPECT_NEAR(lowest, 0.4996f, 1e-3f);
    EXPECT_NEAR(highest, 0.4996f, 1e-3f);
}

TEST(CloudMorph, TurnsAboutTheTiltedAxisFifteenUnitsAhead) {
    REQUIRE_HEADLESS_GL();
    const SpriteRecord firstSprite = drawMorphAt(112.0f)[0];
    const float* const m = firstSprite.modelView;
    // The axis (0, 1, 1) keeps its direction.
    EXPECT_NEAR(m[4] + m[8], 0.0f, 1e-5f);
    EXPECT_NEAR(m[5] + m[9], 1.0f, 1e-5f);
    EXPECT_NEAR(m[6] + m[10], 1.0f, 1e-5f);
    EXPECT_NEAR(m[12], 0.0f, 1e-6f);
    EXPECT_NEAR(m[13], 0.0f, 1e-6f);
    EXPECT_NEAR(m[14], -15.0f, 1e-6f);
    EXPECT_LT(m[0], 0.99f);
}

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "demo/music.h"
#include "scenes/scenes.h"
#include "tests/support/headless_picture.h"
#include "tests/support/sprite_log.h"

namespace {

std::vector<SpriteRecord> drawMorphAt(const float clock) {
    return recordSceneSprites(drawCloudMorph, clock);
}

// How far the drawn points have gone from the wide cloud toward the compact one, on the
// coordinates where the two clouds lie well apart: the smallest and the largest share.
std::pair<float, float> blendRange(const std::vector<SpriteRecord>& sprites) {
    float lowest = 2.0f;
    float highest = -1.0f;
    for (std::size_t i = 0; i < sprites.size(); ++i) {
        const Vec3 p = sprites[i].position;
        const Vec3 a = cloudPoints[i];
        const Vec3 b = smallCloudPoints[i];
        for (const auto& [drawn, wide, compact] :
             {std::tuple{p.x, a.x, b.x}, std::tuple{p.y, a.y, b.y}, std::tuple{p.z, a.z, b.z}}) {
            if (std::abs(compact - wide) > 4.0f) {
                lowest = std::min(lowest, (drawn - wide) / (compact - wide));
                highest = std::max(highest, (drawn - wide) / (compact - wide));
            }
        }
    }
    return {lowest, highest};
}

} // namespace

TEST(CloudMorph, Draws600PointsEasedBetweenTheTwoClouds) {
    REQUIRE_HEADLESS_GL();
    scatterCloudPoints();
    scatterSmallCloudPoints();
    const struct {
        float clock;
        float share; // of the way from the wide to the compact cloud
    } swings[] = {{106.0f, 0.807f}, {109.9557f, 0.0f}, {112.5737f, 0.4996f}, {117.81f, 1.0f}};
    for (const auto& [clock, share] : swings) {
        const std::vector<SpriteRecord> sprites = drawMorphAt(clock);
        ASSERT_EQ(sprites.size(), 600u);
        EXPECT_EQ(sprites[599].size, 0.38f);
        const auto [lowest, highest] = blendRange(sprites);
        EXPECT_NEAR(lowest, share, 1e-3f) << clock;
        EXPECT_NEAR(highest, share, 1e-3f) << clock;
    }
    // The wide cloud is read as the rising cloud's drift left it.
    cloudPoints[0].x += 0.75f;
    EXPECT_NEAR(drawMorphAt(109.9557f)[0].position.x, cloudPoints[0].x, 1e-4f);
    // The whole turns about the axis (0, 1, 1), 15 units ahead.
    const SpriteRecord turned = drawMorphAt(112.0f)[0];
    const float* const m = turned.modelView;
    EXPECT_NEAR(m[4] + m[8], 0.0f, 1e-5f);
    EXPECT_NEAR(m[5] + m[9], 1.0f, 1e-5f);
    EXPECT_NEAR(m[6] + m[10], 1.0f, 1e-5f);
    EXPECT_LT(m[0], 0.99f);
    EXPECT_NEAR(m[14], -15.0f, 1e-6f);
}

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "demo/music.h"
#include "scenes/scenes.h"
#include "tests/support/headless_picture.h"
#include "tests/support/sprite_log.h"

namespace {

std::vector<SpriteRecord> drawTunnelAt(const float clock) {
    return recordSceneSprites(drawParticleTunnel, clock);
}

} // namespace

TEST(ParticleTunnel, TwoParticlesPerUnitOnATubeOfRadiusOneFlownThroughAtOneUnitPerSecond) {
    REQUIRE_HEADLESS_GL();
    const std::vector<SpriteRecord> start = drawTunnelAt(50.0f);
    ASSERT_EQ(start.size(), 2000u);
    EXPECT_EQ(start[0].position.z, -950.0f);
    EXPECT_EQ(start[1].position.z, -950.0f);
    EXPECT_EQ(start[1999].position.z, 49.0f);
    for (std::size_t i = 2; i < start.size(); ++i) {
        const Vec3& p = start[i].position;
        ASSERT_EQ(p.z, start[i - 2].position.z + 1.0f) << i;
        ASSERT_NEAR(p.x * p.x + p.y * p.y, 1.0f, 1e-6f) << i;
        ASSERT_EQ(start[i].size, 0.35f);
    }
    // Successive particles step one radian around the tube.
    EXPECT_NEAR(std::atan2(start[1].position.x, start[1].position.y), 1.0, 1e-6);

    // The tube's axis in eye space is turned 7 degrees; during the scene the tube moves 23
    // units along it, and at 10 s it is only 2 units off to the side.
    const float* const m = start[0].modelView;
    EXPECT_NEAR(std::atan2(m[8], m[10]) * 180.0 / 3.14159265358979, 7.0, 1e-4);
    const SpriteRecord end = drawTunnelAt(73.0f)[0];
    EXPECT_NEAR(end.modelView[12] - m[12], 23.0f * m[8], 1e-4f);
    EXPECT_NEAR(end.modelView[14] - m[14], 23.0f * m[10], 1e-4f);
    const SpriteRecord still = drawTunnelAt(10.0f)[0];
    EXPECT_NEAR(still.modelView[12] * m[8] + still.modelView[14] * m[10], 0.0f, 1e-5f);
    EXPECT_NEAR(std::hypot(still.modelView[12], still.modelView[14]), 2.0f, 1e-5f);
}

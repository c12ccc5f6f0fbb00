#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "demo/music.h"
#include "scenes/scenes.h"
#include "tests/support/headless_picture.h"
#include "tests/support/sprite_log.h"

namespace {

std::vector<SpriteRecord> drawTunnelAt(const float clock) {
    MusicClock = clock;
    SpriteLog log;
    drawParticleTunnel();
    return log.sprites();
}

Vec3 eyeOrigin(const SpriteRecord& sprite) {
    return Vec3{sprite.modelView[12], sprite.modelView[13], sprite.modelView[14]};
}

} // namespace

TEST(ParticleTunnel, TwoParticlesPerUnitOnATubeOfRadiusOne) {
    REQUIRE_HEADLESS_GL();
    const std::vector<SpriteRecord> sprites = drawTunnelAt(60.0f);
    ASSERT_EQ(sprites.size(), 2000u);
    EXPECT_EQ(sprites[0].position.z, -950.0f);
    EXPECT_EQ(sprites[1].position.z, -950.0f);
    EXPECT_EQ(sprites[1999].position.z, 49.0f);
    for (std::size_t i = 0; i < sprites.size(); ++i) {
        const Vec3& p = sprites[i].position;
        ASSERT_EQ(p.z, sprites[i - i % 2].position.z) << i;
        if (i >= 2) {
            ASSERT_EQ(p.z, sprites[i - 2].position.z + 1.0f) << i;
        }
        ASSERT_NEAR(p.x * p.x + p.y * p.y, 1.0f, 1e-6f) << i;
        ASSERT_EQ(sprites[i].size, 0.35f);
    }
    // Successive particles step one radian around the tube.
    const double step = std::atan2(sprites[1].position.x, sprites[1].position.y) -
                        std::atan2(sprites[0].position.x, sprites[0].position.y);
    EXPECT_NEAR(step, 1.0, 1e-6);
}

TEST(ParticleTunnel, EyeTravelsAlongTheTiltedAxisAtOneUnitPerSecond) {
    REQUIRE_HEADLESS_GL();
    const SpriteRecord start = drawTunnelAt(50.0f)[0];
    const SpriteRecord end = drawTunnelAt(73.0f)[0];
    // The tube's axis in eye space: turned 7 degrees about the vertical.
    const float* const m = start.modelView;
    const double seven = 7.0 * 3.14159265358979 / 180.0;
    EXPECT_NEAR(m[8], std::sin(seven), 1e-6);
    EXPECT_NEAR(m[9], 0.0, 1e-6);
    EXPECT_NEAR(m[10], std::cos(seven), 1e-6);
    // During the scene the tube moves 23 units along its own axis.
    const Vec3 a = eyeOrigin(start);
    const Vec3 b = eyeOrigin(end);
    EXPECT_NEAR(b.x - a.x, 23.0f * m[8], 1e-4f);
    EXPECT_NEAR(b.y - a.y, 0.0f, 1e-5f);
    EXPECT_NEAR(b.z - a.z, 23.0f * m[10], 1e-4f);
    // At 10 s the offset along the axis is zero: only the sideways 2 units remain.
    const Vec3 still = eyeOrigin(drawTunnelAt(10.0f)[0]);
    EXPECT_NEAR(std::hypot(still.x, still.z), 2.0f, 1e-5f);
    EXPECT_NEAR(still.x * m[8] + still.z * m[10], 0.0f, 1e-5f);
}

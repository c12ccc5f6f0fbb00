#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "demo/music.h"
#include "scenes/scenes.h"
#include "tests/support/headless_picture.h"
#include "tests/support/sprite_log.h"

namespace {

constexpr double kPi = 3.14159265358979323846;

void expectNear(const Vec3 actual, const Vec3 expected, const float tolerance) {
    EXPECT_NEAR(actual.x, expected.x, tolerance);
    EXPECT_NEAR(actual.y, expected.y, tolerance);
    EXPECT_NEAR(actual.z, expected.z, tolerance);
}

} // namespace

TEST(HarmonicPoint, KnownPointsAndTheNegativeRadius) {
    expectNear(harmonicPoint(0.0, 0.0), Vec3{0.0f, 2.0f, 0.0f}, 1e-7f);
    // At phi = 0 every theta lands on the y axis at 1 + cos 3 theta.
    for (const double theta : {0.3, 1.0, 2.5, 6.0}) {
        expectNear(harmonicPoint(theta, 0.0),
                   Vec3{0.0f, static_cast<float>(1.0 + std::cos(3.0 * theta)), 0.0f}, 1e-6f);
    }
    expectNear(harmonicPoint(kPi / 3.0, kPi / 2.0), Vec3{0.5f, 0.0f, 0.8660254f}, 1e-6f);
    // At theta = pi/3, phi = pi/4 the radius is 0.5 + 0 - 1 = -0.5: the point lies half a unit
    // from the centre on the far side, opposite the direction (0.354, 0.707, 0.612).
    expectNear(harmonicPoint(kPi / 3.0, kPi / 4.0), Vec3{-0.1767767f, -0.3535534f, -0.3061862f},
               1e-6f);
}

TEST(HarmonicShape, SixtyBySixtyTinyParticlesTumblingAboutTheDiagonal) {
    REQUIRE_HEADLESS_GL();
    MusicClock = 250.0f; // 2500 degrees: 340 after whole turns
    SpriteLog log;
    drawHarmonicShape();
    const std::vector<SpriteRecord>& s = log.sprites();
    ASSERT_EQ(s.size(), 3600u);
    for (int k = 0; k < 3600; ++k) {
        EXPECT_TRUE(s[k].size == 0.1f && s[k].slot == 4) << k;
    }
    // Theta steps in the outer loop, phi in the inner: every 60th sample is at phi = 0, on
    // the y axis between 0 and 2, and the last stops short of the full turns.
    for (int i = 0; i < 60; ++i) {
        const Vec3 p = s[60 * i].position;
        EXPECT_TRUE(std::fabs(p.x) < 1e-7f && std::fabs(p.z) < 1e-7f) << i;
        EXPECT_TRUE(p.y >= 0.0f && p.y <= 2.0f) << i;
    }
    expectNear(s[1].position, harmonicPoint(0.0, 0.052333333), 1e-6f);
    expectNear(s[60].position, harmonicPoint(0.104666665, 0.0), 1e-6f);
    expectNear(s[3599].position, harmonicPoint(59 * 0.104666665, 59 * 0.052333333), 1e-5f);

    const float* m = s[0].modelView;
    expectNear(Vec3{m[12], m[13], m[14]}, Vec3{-3.0f, 0.0f, -12.0f}, 1e-6f);
    // The axis (1, 1, 0) stays in place; +z tips by sin(340 degrees) toward x and away from y.
    const double h = std::sqrt(0.5), sine = std::sin(340.0 * kPi / 180.0);
    expectNear(Vec3{m[0] + m[4], m[1] + m[5], m[2] + m[6]}, Vec3{1.0f, 1.0f, 0.0f}, 1e-5f);
    expectNear(Vec3{m[8], m[9], m[10]},
               Vec3{static_cast<float>(sine * h), static_cast<float>(-sine * h),
                    static_cast<float>(std::cos(340.0 * kPi / 180.0))},
               1e-5f);
}

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "demo/music.h"
#include "scenes/scenes.h"
#include "tests/support/headless_picture.h"
#include "tests/support/sprite_log.h"

namespace {

constexpr double kPi = 3.14159265358979323846;

std::vector<SpriteRecord> drawShapeAt(const float clock) {
    MusicClock = clock;
    SpriteLog log;
    drawHarmonicShape();
    return log.sprites();
}

void expectNear(const Vec3 actual, const Vec3 expected, const float tolerance) {
    EXPECT_NEAR(actual.x, expected.x, tolerance);
    EXPECT_NEAR(actual.y, expected.y, tolerance);
    EXPECT_NEAR(actual.z, expected.z, tolerance);
}

} // namespace

TEST(HarmonicPoint, KnownPointsOfTheSurface) {
    expectNear(harmonicPoint(0.0, 0.0), Vec3{0.0f, 2.0f, 0.0f}, 1e-7f);
    // At phi = 0 every theta lands on the y axis at 1 + cos 3 theta.
    for (const double theta : {0.3, 1.0, kPi / 3.0, 2.5, 6.0}) {
        expectNear(harmonicPoint(theta, 0.0),
                   Vec3{0.0f, static_cast<float>(1.0 + std::cos(3.0 * theta)), 0.0f}, 1e-6f);
    }
    expectNear(harmonicPoint(kPi / 3.0, kPi / 2.0), Vec3{0.5f, 0.0f, 0.8660254f}, 1e-6f);
}

TEST(HarmonicPoint, NegativeRadiusFlipsThePointThroughTheCentre) {
    // theta = pi/3, phi = pi/4: r = 0.5 + 0 - 1 = -0.5.
    const double theta = kPi / 3.0;
    const double phi = kPi / 4.0;
    const Vec3 p = harmonicPoint(theta, phi);
    const Vec3 direction{static_cast<float>(std::sin(phi) * std::cos(theta)),
                         static_cast<float>(std::cos(phi)),
                         static_cast<float>(std::sin(phi) * std::sin(theta))};
    expectNear(p, Vec3{-0.5f * direction.x, -0.5f * direction.y, -0.5f * direction.z}, 1e-6f);
}

TEST(HarmonicShape, SamplesSixtyBySixtyTinyParticles) {
    REQUIRE_HEADLESS_GL();
    const std::vector<SpriteRecord> sprites = drawShapeAt(245.0f);
    ASSERT_EQ(sprites.size(), 3600u);
    for (const SpriteRecord& s : sprites) {
        EXPECT_EQ(s.size, 0.1f);
        EXPECT_EQ(s.slot, 4);
    }
    expectNear(sprites[0].position, Vec3{0.0f, 2.0f, 0.0f}, 1e-7f);
    // The outer loop steps theta, the inner one phi: every 60th sample starts a new theta
    // at phi = 0, on the y axis between 0 and 2.
    for (int i = 0; i < 60; ++i) {
        const Vec3 p = sprites[60 * i].position;
        EXPECT_NEAR(p.x, 0.0f, 1e-7f) << i;
        EXPECT_NEAR(p.z, 0.0f, 1e-7f) << i;
        EXPECT_GE(p.y, 0.0f) << i;
        EXPECT_LE(p.y, 2.0f) << i;
    }
    expectNear(sprites[1].position, harmonicPoint(0.0, 0.052333333), 1e-6f);
    expectNear(sprites[60].position, harmonicPoint(0.104666665, 0.0), 1e-6f);
    // The last sample stops short of a full turn in theta and a half turn in phi.
    expectNear(sprites[3599].position, harmonicPoint(59 * 0.104666665, 59 * 0.052333333), 1e-5f);
}

TEST(HarmonicShape, TumblesTenDegreesPerSecondAboutTheDiagonal) {
    REQUIRE_HEADLESS_GL();
    const float t = 250.0f; // 2500 degrees: 340 after whole turns
    const std::vector<SpriteRecord> sprites = drawShapeAt(t);
    ASSERT_EQ(sprites.size(), 3600u);
    const float* m = sprites[0].modelView;
    EXPECT_NEAR(m[12], -3.0f, 1e-6f);
    EXPECT_NEAR(m[13], 0.0f, 1e-6f);
    EXPECT_NEAR(m[14], -12.0f, 1e-6f);
    // The axis (1, 1, 0) is left in place; the trace gives the angle.
    const float ax = static_cast<float>(1.0 / std::sqrt(2.0));
    EXPECT_NEAR(m[0] * ax + m[4] * ax, ax, 1e-5f);
    EXPECT_NEAR(m[1] * ax + m[5] * ax, ax, 1e-5f);
    EXPECT_NEAR(m[2] * ax + m[6] * ax, 0.0f, 1e-5f);
    EXPECT_NEAR(m[0] + m[5] + m[10], 1.0 + 2.0 * std::cos(340.0 * kPi / 180.0), 1e-4);
    // The sense of the turn: at 340 degrees +z tips toward -x and +y.
    EXPECT_NEAR(m[8], std::sin(340.0 * kPi / 180.0) * ax, 1e-5);
    EXPECT_NEAR(m[9], -std::sin(340.0 * kPi / 180.0) * ax, 1e-5);
}

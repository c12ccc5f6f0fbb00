#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "demo/music.h"
#include "scenes/scenes.h"
#include "tests/support/headless_picture.h"
#include "tests/support/sprite_log.h"

namespace {

std::vector<SpriteRecord> drawRingsAt(const float clock) {
    MusicClock = clock;
    SpriteLog log;
    drawSpectrumRings();
    return log.sprites();
}

void silence() {
    std::fill(Spectrum, Spectrum + 64, 0.0f);
}

} // namespace

TEST(SpectrumRings, SixRingsOf800ParticlesWithinTheRippleWhenSilent) {
    REQUIRE_HEADLESS_GL();
    silence();
    const float clock = 80.0f;
    const std::vector<SpriteRecord> sprites = drawRingsAt(clock);
    ASSERT_EQ(sprites.size(), 4800u);
    for (std::size_t k = 0; k < sprites.size(); ++k) {
        const float radius = static_cast<float>(k / 800 + 1);
        const Vec3& p = sprites[k].position;
        ASSERT_NEAR(std::hypot(p.x, p.z), radius, 1e-5f) << k;
        ASSERT_LE(std::abs(p.y), 1.0f / 11.0f + 1e-6f) << k;
        ASSERT_EQ(sprites[k].size, 0.15f);
        if (k % 800 == 0) {
            // The first particle of every ring lies at angle 0.
            EXPECT_NEAR(p.x, 0.0f, 1e-6f);
            EXPECT_EQ(p.z, radius);
            EXPECT_NEAR(p.y, std::sin(0.5 * clock) / 11.0, 1e-6);
        }
    }
}

TEST(SpectrumRings, BandRLiftsRingROnly) {
    REQUIRE_HEADLESS_GL();
    silence();
    const std::vector<SpriteRecord> quiet = drawRingsAt(75.5f);
    // Band 0 and the bands above 6 are not shown.
    Spectrum[0] = 5.0f;
    Spectrum[7] = 5.0f;
    Spectrum[3] = 1.0f;
    Spectrum[6] = 0.5f;
    const std::vector<SpriteRecord> loud = drawRingsAt(75.5f);
    silence();
    ASSERT_EQ(loud.size(), quiet.size());
    const float expectedLift[7] = {0, 0, 0, 0.04f, 0, 0, 0.02f};
    for (std::size_t k = 0; k < loud.size(); ++k) {
        const int ring = static_cast<int>(k / 800 + 1);
        ASSERT_NEAR(loud[k].position.y - quiet[k].position.y, expectedLift[ring], 1e-6f) << k;
        ASSERT_EQ(loud[k].position.x, quiet[k].position.x);
        ASSERT_EQ(loud[k].position.z, quiet[k].position.z);
    }
}

TEST(SpectrumRings, TiltedTwelveDegreesAndTurningTwoDegreesPerSecond) {
    REQUIRE_HEADLESS_GL();
    silence();
    // At 90 s the turn is 0 degrees: only the tilt about x remains.
    const SpriteRecord firstSprite = drawRingsAt(90.0f)[0];
    const float* const m = firstSprite.modelView;
    const double tilt = 12.0 * 3.14159265358979 / 180.0;
    EXPECT_NEAR(m[0], 1.0, 1e-6);
    EXPECT_NEAR(m[5], std::cos(tilt), 1e-6);
    EXPECT_NEAR(m[6], std::sin(tilt), 1e-6);
    EXPECT_NEAR(m[12], 0.0, 1e-6);
    EXPECT_NEAR(m[13], -0.8, 1e-6);
    EXPECT_NEAR(m[14], -10.0, 1e-6);
    // At 0 s the rings have turned 180 degrees about the vertical.
    const SpriteRecord turnedSprite = drawRingsAt(0.0f)[0];
    const float* const turned = turnedSprite.modelView;
    EXPECT_NEAR(turned[0], -1.0, 1e-6);
    EXPECT_NEAR(turned[10], -std::cos(tilt), 1e-6);
}

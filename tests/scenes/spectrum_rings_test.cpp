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
    return recordSceneSprites(drawSpectrumRings, clock);
}

} // namespace

TEST(SpectrumRings, SixRingsOf800WithinTheRippleWhenSilentAndBandRLiftsRingR) {
    REQUIRE_HEADLESS_GL();
    std::fill(Spectrum, Spectrum + 64, 0.0f);
    const float clock = 80.0f;
    const std::vector<SpriteRecord> quiet = drawRingsAt(clock);
    ASSERT_EQ(quiet.size(), 4800u);
    for (std::size_t k = 0; k < quiet.size(); ++k) {
        const float radius = static_cast<float>(k / 800 + 1);
        const Vec3& p = quiet[k].position;
        ASSERT_NEAR(std::hypot(p.x, p.z), radius, 1e-5f) << k;
        ASSERT_LE(std::abs(p.y), 1.0f / 11.0f + 1e-6f) << k;
        ASSERT_EQ(quiet[k].size, 0.15f);
        if (k % 800 == 0) { // the first particle of every ring lies at angle 0
            EXPECT_NEAR(p.x, 0.0f, 1e-6f);
            EXPECT_EQ(p.z, radius);
            EXPECT_NEAR(p.y, std::sin(0.5 * clock) / 11.0, 1e-6);
        }
    }
    // Band 0 and the bands above 6 are not shown.
    Spectrum[0] = 5.0f;
    Spectrum[7] = 5.0f;
    Spectrum[3] = 1.0f;
    Spectrum[6] = 0.5f;
    const std::vector<SpriteRecord> loud = drawRingsAt(clock);
    std::fill(Spectrum, Spectrum + 64, 0.0f);
    const float lift[7] = {0, 0, 0, 0.04f, 0, 0, 0.02f};
    for (std::size_t k = 0; k < loud.size(); ++k) {
        ASSERT_NEAR(loud[k].position.y - quiet[k].position.y, lift[k / 800 + 1], 1e-6f) << k;
        ASSERT_EQ(loud[k].position.x, quiet[k].position.x);
    }
    // At 90 s the turn is 0: only the 12-degree tilt about x remains.
    const SpriteRecord level = drawRingsAt(90.0f)[0];
    EXPECT_NEAR(level.modelView[0], 1.0f, 1e-6f);
    EXPECT_NEAR(std::atan2(level.modelView[6], level.modelView[5]) * 180.0 / 3.14159265358979, 12.0,
                1e-4);
}

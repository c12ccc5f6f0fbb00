#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "demo/music.h"
#include "scenes/scenes.h"
#include "tests/support/headless_picture.h"
#include "tests/support/sprite_log.h"

namespace {

std::vector<SpriteRecord> drawSheetAt(const float clock) {
    MusicClock = clock;
    SpriteLog log;
    drawWaveSheet();
    return log.sprites();
}

const SpriteRecord& at(const std::vector<SpriteRecord>& sprites, const int i, const int j) {
    return sprites[static_cast<std::size_t>(i * 40 + j)];
}

} // namespace

TEST(WaveSheet, DrawsA40By40GridOneUnitApartRowByRow) {
    REQUIRE_HEADLESS_GL();
    const std::vector<SpriteRecord> sprites = drawSheetAt(0.0f);
    ASSERT_EQ(sprites.size(), 1600u);
    EXPECT_FLOAT_EQ(sprites.front().position.x, -20.0f);
    EXPECT_NEAR(sprites.front().position.y, 1.0f / 3.0f - 0.5f, 1e-6f);
    EXPECT_FLOAT_EQ(sprites.front().position.z, -20.0f);
    EXPECT_FLOAT_EQ(sprites.back().position.x, 19.0f);
    EXPECT_FLOAT_EQ(sprites.back().position.z, 19.0f);
    for (int i = 0; i < 40; ++i) {
        for (int j = 0; j < 40; ++j) {
            const SpriteRecord& sprite = at(sprites, i, j);
            ASSERT_EQ(sprite.position.x, static_cast<float>(i - 20));
            ASSERT_EQ(sprite.position.z, static_cast<float>(j - 20));
            ASSERT_EQ(sprite.size, 0.29f);
            ASSERT_EQ(sprite.slot, 4);
        }
    }
}

TEST(WaveSheet, RippleRunsAlongColumnsAndTheRowProfileStaysPut) {
    REQUIRE_HEADLESS_GL();
    const std::vector<SpriteRecord> early = drawSheetAt(31.0f);
    const std::vector<SpriteRecord> late = drawSheetAt(32.5f);
    float heightRange = 0.0f;
    for (int i = 0; i < 40; ++i) {
        for (int j = 0; j < 40; ++j) {
            const float y = at(early, i, j).position.y;
            // All sprites of one j share the ripple, all of one i share the profile.
            EXPECT_NEAR(y - at(early, i, 0).position.y,
                        at(early, 0, j).position.y - at(early, 0, 0).position.y, 1e-5f);
            // Time moves the ripple only: the difference between rows stays.
            EXPECT_NEAR(y - at(early, 0, j).position.y,
                        at(late, i, j).position.y - at(late, 0, j).position.y, 1e-5f);
            heightRange = std::max(heightRange, std::abs(y + 0.5f));
        }
    }
    // Ripple 0.125 plus profile 1/3 around -0.5, and both really present.
    EXPECT_LE(heightRange, 0.125f + 1.0f / 3.0f + 1e-5f);
    EXPECT_GT(heightRange, 0.4f);
    EXPECT_NE(at(early, 0, 5).position.y, at(late, 0, 5).position.y);
}

TEST(WaveSheet, LiesBelowTheEyeAndTurnsOneDegreePerSecond) {
    REQUIRE_HEADLESS_GL();
    // At 40 s the sheet has not turned: the matrix is the plain offset.
    const SpriteRecord firstSprite = drawSheetAt(40.0f)[0];
    const float* const m = firstSprite.modelView;
    const float level[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, -0.7f, -25, 1};
    for (int k = 0; k < 16; ++k) {
        EXPECT_NEAR(m[k], level[k], 1e-6f) << k;
    }
    // At 0 s it has turned -40 degrees about the vertical axis.
    const SpriteRecord turnedSprite = drawSheetAt(0.0f)[0];
    const float* const turned = turnedSprite.modelView;
    const double radians = -40.0 * 3.14159265358979 / 180.0;
    EXPECT_NEAR(turned[0], std::cos(radians), 1e-6);
    EXPECT_NEAR(turned[2], -std::sin(radians), 1e-6);
    EXPECT_NEAR(turned[5], 1.0f, 1e-6f);
}

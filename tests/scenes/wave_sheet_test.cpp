#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "demo/music.h"
#include "scenes/scenes.h"
#include "tests/support/headless_picture.h"
#include "tests/support/sprite_log.h"

namespace {

std::vector<SpriteRecord> drawSheetAt(const float clock) {
    return recordSceneSprites(drawWaveSheet, clock);
}

} // namespace

TEST(WaveSheet, A40By40GridRowByRowWithARippleAlongJAndAFixedProfileAlongI) {
    REQUIRE_HEADLESS_GL();
    const std::vector<SpriteRecord> early = drawSheetAt(0.0f);
    const std::vector<SpriteRecord> late = drawSheetAt(1.5f);
    ASSERT_EQ(early.size(), 1600u);
    EXPECT_NEAR(early[0].position.y, 1.0f / 3.0f - 0.5f, 1e-6f);
    const auto y = [](const std::vector<SpriteRecord>& s, int i, int j) {
        return s[static_cast<std::size_t>(i * 40 + j)].position.y;
    };
    float reach = 0.0f;
    for (int i = 0; i < 40; ++i) {
        for (int j = 0; j < 40; ++j) {
            const SpriteRecord& sprite = early[static_cast<std::size_t>(i * 40 + j)];
            ASSERT_EQ(sprite.position.x, static_cast<float>(i - 20));
            ASSERT_EQ(sprite.position.z, static_cast<float>(j - 20));
            ASSERT_EQ(sprite.size, 0.29f);
            // All sprites of one j share the ripple, all of one i share the profile...
            ASSERT_NEAR(y(early, i, j) - y(early, i, 0), y(early, 0, j) - y(early, 0, 0), 1e-5f);
            // ...and time moves only the ripple.
            ASSERT_NEAR(y(early, i, j) - y(early, 0, j), y(late, i, j) - y(late, 0, j), 1e-5f);
            reach = std::max(reach, std::abs(y(early, i, j) + 0.5f));
        }
    }
    EXPECT_LE(reach, 0.125f + 1.0f / 3.0f + 1e-5f);
    EXPECT_GT(reach, 0.4f);
    EXPECT_NE(y(early, 0, 5), y(late, 0, 5));
    // At 40 s the sheet has not turned; it lies 0.7 below the eye, 25 ahead.
    const SpriteRecord level = drawSheetAt(40.0f)[0];
    EXPECT_NEAR(level.modelView[0], 1.0f, 1e-6f);
    EXPECT_NEAR(level.modelView[13], -0.7f, 1e-6f);
    EXPECT_NEAR(level.modelView[14], -25.0f, 1e-6f);
}

#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <vector>

#include "demo/music.h"
#include "scenes/scenes.h"
#include "tests/support/headless_picture.h"
#include "tests/support/sprite_log.h"

TEST(LatticeCube, TenCubedSpritesShimmeringAndPulsingAlongTheDiagonal) {
    REQUIRE_HEADLESS_GL();
    const float clock = 97.3f;
    MusicClock = clock;
    SpriteLog log;
    drawLatticeCube();
    const std::vector<SpriteRecord>& sprites = log.sprites();
    ASSERT_EQ(sprites.size(), 1000u);
    const float flatShimmer = static_cast<float>(std::sin(clock) / 30.0);
    std::map<int, float> sizeByDiagonal;
    float smallest = 1.0f;
    float largest = 0.0f;
    for (std::size_t k = 0; k < sprites.size(); ++k) {
        const int a = static_cast<int>(k / 100);
        const int m = static_cast<int>(k / 10 % 10);
        const int n = static_cast<int>(k % 10);
        const Vec3& p = sprites[k].position;
        ASSERT_EQ(p.x, static_cast<float>(a - 5)) << k;
        ASSERT_EQ(p.y, static_cast<float>(n - 5)) << k;
        const float shimmer = p.z - static_cast<float>(m - 5);
        ASSERT_LE(std::abs(shimmer), 1.0f / 30.0f + 1e-6f) << k;
        if (a == 5 || n == 5) {
            ASSERT_NEAR(shimmer, flatShimmer, 1e-6f) << k;
        }
        const float size = sprites[k].size;
        const auto [entry, fresh] = sizeByDiagonal.emplace(a + m - n, size);
        ASSERT_TRUE(fresh || size == entry->second) << k;
        smallest = std::min(smallest, size);
        largest = std::max(largest, size);
    }
    EXPECT_GE(smallest, 0.0999f);
    EXPECT_LE(largest, 0.6001f);
    EXPECT_GT(largest - smallest, 0.45f);
    // The tumble keeps the direction of its axis (1, 1, 0); the origin sits 10 units ahead.
    const float* const r = sprites[0].modelView;
    EXPECT_NEAR(r[0] + r[4], 1.0f, 1e-5f);
    EXPECT_NEAR(r[1] + r[5], 1.0f, 1e-5f);
    EXPECT_NEAR(r[2] + r[6], 0.0f, 1e-5f);
    EXPECT_LT(r[10], 0.99f);
    EXPECT_NEAR(r[14], -10.0f, 1e-6f);
}

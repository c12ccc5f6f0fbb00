#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <vector>

#include "demo/music.h"
#include "scenes/scenes.h"
#include "tests/support/headless_picture.h"
#include "tests/support/sprite_log.h"

namespace {

std::vector<SpriteRecord> drawLatticeAt(const float clock) {
    MusicClock = clock;
    SpriteLog log;
    drawLatticeCube();
    return log.sprites();
}

} // namespace

TEST(LatticeCube, TenCubedSpritesOneUnitApartWithAShallowShimmer) {
    REQUIRE_HEADLESS_GL();
    const float clock = 97.3f;
    const std::vector<SpriteRecord> sprites = drawLatticeAt(clock);
    ASSERT_EQ(sprites.size(), 1000u);
    const float flatShimmer = static_cast<float>(std::sin(clock) / 30.0);
    std::size_t k = 0;
    for (int a = 0; a < 10; ++a) {
        for (int m = 0; m < 10; ++m) {
            for (int n = 0; n < 10; ++n, ++k) {
                const Vec3& p = sprites[k].position;
                ASSERT_EQ(p.x, static_cast<float>(a - 5)) << k;
                ASSERT_EQ(p.y, static_cast<float>(n - 5)) << k;
                const float shimmer = p.z - static_cast<float>(m - 5);
                ASSERT_LE(std::abs(shimmer), 1.0f / 30.0f + 1e-6f) << k;
                if (a == 5 || n == 5) {
                    ASSERT_NEAR(shimmer, flatShimmer, 1e-6f) << k;
                }
            }
        }
    }
}

TEST(LatticeCube, SizesPulseAlongTheDiagonalWithinATenthAndSixTenths) {
    REQUIRE_HEADLESS_GL();
    for (const float clock : {90.5f, 101.0f}) {
        const std::vector<SpriteRecord> sprites = drawLatticeAt(clock);
        ASSERT_EQ(sprites.size(), 1000u);
        std::map<int, float> sizeByDiagonal;
        float smallest = 1.0f;
        float largest = 0.0f;
        for (std::size_t k = 0; k < sprites.size(); ++k) {
            const int a = static_cast<int>(k / 100);
            const int m = static_cast<int>(k / 10 % 10);
            const int n = static_cast<int>(k % 10);
            const float size = sprites[k].size;
            const auto [entry, fresh] = sizeByDiagonal.emplace(a + m - n, size);
            if (!fresh) {
                ASSERT_NEAR(size, entry->second, 1e-6f) << k;
            }
            smallest = std::min(smallest, size);
            largest = std::max(largest, size);
        }
        EXPECT_EQ(sizeByDiagonal.size(), 28u);
        EXPECT_GE(smallest, 0.0999f);
        EXPECT_LE(largest, 0.6001f);
        EXPECT_GT(largest - smallest, 0.45f);
    }
}

TEST(LatticeCube, TumblesAboutTheDiagonalAxisTenUnitsAhead) {
    REQUIRE_HEADLESS_GL();
    const SpriteRecord firstSprite = drawLatticeAt(95.0f)[0];
    const float* const m = firstSprite.modelView;
    // The rotation axis (1, 1, 0) keeps its direction; the origin sits 10 units ahead.
    EXPECT_NEAR(m[0] + m[4], 1.0f, 1e-5f);
    EXPECT_NEAR(m[1] + m[5], 1.0f, 1e-5f);
    EXPECT_NEAR(m[2] + m[6], 0.0f, 1e-5f);
    EXPECT_NEAR(m[14], -10.0f, 1e-6f);
    // The turn is t + 400 degrees: at -40 s it is a full turn, the identity.
    const SpriteRecord wholeSprite = drawLatticeAt(-40.0f)[0];
    const float* const whole = wholeSprite.modelView;
    EXPECT_NEAR(whole[0], 1.0f, 1e-5f);
    EXPECT_NEAR(whole[5], 1.0f, 1e-5f);
    EXPECT_NEAR(whole[10], 1.0f, 1e-5f);
    // And at 95 s it is not.
    EXPECT_LT(m[10], 0.99f);
}

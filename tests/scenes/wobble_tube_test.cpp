#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "demo/music.h"
#include "platform/gl.h"
#include "scenes/scenes.h"
#include "tests/support/headless_picture.h"
#include "tests/support/sprite_log.h"

namespace {

constexpr std::size_t kTube = 6000;

std::vector<SpriteRecord> drawTubeAt(const float clock) {
    return recordSceneSprites(drawWobbleTube, clock);
}

} // namespace

TEST(WobbleTube, RingsOfFourStayRigidCirclesOfRadiusFour) {
    REQUIRE_HEADLESS_GL();
    const std::vector<SpriteRecord> a = drawTubeAt(225.0f);
    const std::vector<SpriteRecord> b = drawTubeAt(231.7f);
    ASSERT_EQ(a.size(), kTube + 1);
    ASSERT_EQ(b.size(), kTube + 1);
    EXPECT_EQ(a[3].position.z, -1450.0f);
    EXPECT_EQ(a[4].position.z, -1449.0f);
    EXPECT_EQ(a[kTube - 1].position.z, 49.0f);
    for (std::size_t first = 0; first < kTube; first += 4) {
        const float z = a[first].position.z;
        const float shift = b[first].position.x - a[first].position.x;
        EXPECT_LE(std::fabs(shift), 2.0f + 1e-5f);
        for (std::size_t i = first; i < first + 4; ++i) {
            EXPECT_TRUE(a[i].size == 0.5f && a[i].slot == 4) << i;
            EXPECT_EQ(a[i].position.z, z) << i;
            // Over time the whole ring moves sideways by one amount, and nothing else changes.
            EXPECT_NEAR(b[i].position.x - a[i].position.x, shift, 1e-5f) << i;
            EXPECT_TRUE(b[i].position.y == a[i].position.y && b[i].position.z == z) << i;
            // Around the ring's shifted centre the particles keep radius 4.
            const float dx = a[i].position.x - static_cast<float>(std::sin(z + 225.0f));
            EXPECT_NEAR(std::hypot(dx, a[i].position.y), 4.0f, 1e-5f) << i;
        }
    }
}

TEST(WobbleTube, TubeDriftsTowardTheEyeButTheLastParticleStaysPut) {
    REQUIRE_HEADLESS_GL();
    static const float identity[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
    const float clocks[2] = {222.0f, 243.0f};
    const float depths[2] = {120.59f, 132.94f};
    for (int f = 0; f < 2; ++f) {
        const std::vector<SpriteRecord> sprites = drawTubeAt(clocks[f]);
        ASSERT_EQ(sprites.size(), kTube + 1);
        EXPECT_NEAR(sprites[0].modelView[14], depths[f], 0.01f);
        EXPECT_TRUE(sprites[0].modelView[12] == 0.0f && sprites[0].modelView[13] == 0.0f);
        const SpriteRecord& last = sprites.back();
        EXPECT_TRUE(last.position.x == 0.0f && last.position.y == 0.0f &&
                    last.position.z == -10.0f);
        EXPECT_TRUE(last.size == 1.2f && last.slot == 4);
        for (int k = 0; k < 16; ++k) {
            EXPECT_EQ(last.modelView[k], identity[k]) << k;
        }
    }
    EXPECT_FALSE(glIsEnabled(GL_BLEND));
    EXPECT_TRUE(glIsEnabled(GL_TEXTURE_2D));
}

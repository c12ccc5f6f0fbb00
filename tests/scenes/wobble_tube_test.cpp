#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "demo/music.h"
#include "platform/gl.h"
#include "scenes/scenes.h"
#include "tests/support/headless_picture.h"
#include "tests/support/sprite_log.h"

namespace {

constexpr std::size_t kTubeSprites = 6000;

std::vector<SpriteRecord> drawTubeAt(const float clock) {
    MusicClock = clock;
    SpriteLog log;
    drawWobbleTube();
    return log.sprites();
}

} // namespace

TEST(WobbleTube, RingsOfFourRunAlongTheAxis) {
    REQUIRE_HEADLESS_GL();
    const std::vector<SpriteRecord> sprites = drawTubeAt(230.0f);
    ASSERT_EQ(sprites.size(), kTubeSprites + 1);

    for (std::size_t i = 0; i < kTubeSprites; ++i) {
        const SpriteRecord& s = sprites[i];
        EXPECT_EQ(s.slot, 4);
        EXPECT_EQ(s.size, 0.5f);
        EXPECT_EQ(s.position.z, static_cast<float>(static_cast<int>(i / 4) - 1450)) << i;
    }
    EXPECT_EQ(sprites[0].position.z, -1450.0f);
    EXPECT_EQ(sprites[3].position.z, -1450.0f);
    EXPECT_EQ(sprites[4].position.z, -1449.0f);
    EXPECT_EQ(sprites[kTubeSprites - 1].position.z, 49.0f);
}

TEST(WobbleTube, EachRingStaysARigidCircleOfRadiusFour) {
    REQUIRE_HEADLESS_GL();
    const std::vector<SpriteRecord> a = drawTubeAt(225.0f);
    const std::vector<SpriteRecord> b = drawTubeAt(231.7f);
    ASSERT_EQ(a.size(), kTubeSprites + 1);
    ASSERT_EQ(b.size(), kTubeSprites + 1);

    for (std::size_t ring = 0; ring < kTubeSprites / 4; ++ring) {
        const std::size_t first = ring * 4;
        const float z = a[first].position.z;
        // The whole ring moves sideways by one amount; nothing else changes.
        const float shift = b[first].position.x - a[first].position.x;
        EXPECT_LE(std::fabs(shift), 2.0f + 1e-5f);
        for (std::size_t i = first; i < first + 4; ++i) {
            EXPECT_NEAR(b[i].position.x - a[i].position.x, shift, 1e-5f) << i;
            EXPECT_EQ(b[i].position.y, a[i].position.y) << i;
            EXPECT_EQ(b[i].position.z, a[i].position.z) << i;
            // Around the ring's shifted centre the particles keep radius 4.
            const float dx = a[i].position.x - static_cast<float>(std::sin(z + 225.0f));
            const float dy = a[i].position.y;
            EXPECT_NEAR(std::sqrt(dx * dx + dy * dy), 4.0f, 1e-5f) << i;
        }
    }
}

TEST(WobbleTube, TubeDriftsTowardTheEyeButTheLastParticleStaysPut) {
    REQUIRE_HEADLESS_GL();
    const std::vector<SpriteRecord> start = drawTubeAt(222.0f);
    const std::vector<SpriteRecord> end = drawTubeAt(243.0f);
    ASSERT_EQ(start.size(), kTubeSprites + 1);
    ASSERT_EQ(end.size(), kTubeSprites + 1);
    EXPECT_NEAR(start[0].modelView[14], 120.59f, 0.01f);
    EXPECT_NEAR(end[0].modelView[14], 132.94f, 0.01f);
    EXPECT_EQ(start[0].modelView[12], 0.0f);
    EXPECT_EQ(start[0].modelView[13], 0.0f);

    static const float identity[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
    for (const std::vector<SpriteRecord>* frame : {&start, &end}) {
        const SpriteRecord& last = frame->back();
        EXPECT_EQ(last.position.x, 0.0f);
        EXPECT_EQ(last.position.y, 0.0f);
        EXPECT_EQ(last.position.z, -10.0f);
        EXPECT_EQ(last.size, 1.2f);
        EXPECT_EQ(last.slot, 4);
        for (int k = 0; k < 16; ++k) {
            EXPECT_EQ(last.modelView[k], identity[k]) << k;
        }
    }
    EXPECT_FALSE(glIsEnabled(GL_BLEND));
    EXPECT_TRUE(glIsEnabled(GL_TEXTURE_2D));
}

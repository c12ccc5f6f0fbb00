#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "demo/music.h"
#include "platform/gl.h"
#include "scenes/scenes.h"
#include "tests/support/headless_picture.h"
#include "tests/support/sprite_log.h"

namespace {

// Whole-number points in -25..24, as the start-up leaves them.
void fillCloud() {
    for (int i = 0; i < kCloudPointCount; ++i) {
        cloudPoints[i] =
            Vec3{static_cast<float>((i * 7) % 50 - 25), static_cast<float>((i * 13) % 50 - 25),
                 static_cast<float>((i * 29) % 50 - 25)};
    }
}

std::vector<SpriteRecord> drawCloudAt(const float clock) {
    MusicClock = clock;
    SpriteLog log;
    drawCentredCloud();
    return log.sprites();
}

} // namespace

TEST(CentredCloud, TwoThousandSpritesAtTheDriftedPoints) {
    REQUIRE_HEADLESS_GL();
    fillCloud();
    const std::vector<SpriteRecord> sprites = drawCloudAt(256.0f);
    ASSERT_EQ(sprites.size(), static_cast<std::size_t>(kCloudPointCount));
    EXPECT_FLOAT_EQ(sprites[0].size, 1.5f);
    float smallest = 10.0f, largest = 0.0f;
    for (int i = 0; i < kCloudPointCount; ++i) {
        const SpriteRecord& s = sprites[i];
        EXPECT_EQ(s.slot, 4);
        // Drawn where the drift has just put the point.
        EXPECT_EQ(s.position.x, cloudPoints[i].x) << i;
        EXPECT_EQ(s.position.y, cloudPoints[i].y) << i;
        EXPECT_EQ(s.position.z, cloudPoints[i].z) << i;
        smallest = std::min(smallest, s.size);
        largest = std::max(largest, s.size);
    }
    EXPECT_GE(smallest, 0.5f);
    EXPECT_LE(largest, 2.5f);
    EXPECT_LT(smallest, 0.51f);
    EXPECT_GT(largest, 2.49f);
}

TEST(CentredCloud, DriftAccumulatesInXOnly) {
    REQUIRE_HEADLESS_GL();
    fillCloud();
    const float t = 258.0f;
    // Two hand-made points: one whose drift is zero (t + y = 0), one at t + y = 0.5.
    cloudPoints[1] = Vec3{3.0f, -258.0f, 4.0f};
    cloudPoints[2] = Vec3{-2.0f, -257.5f, 1.0f};
    std::vector<Vec3> before(cloudPoints, cloudPoints + kCloudPointCount);

    drawCloudAt(t);
    std::vector<Vec3> once(cloudPoints, cloudPoints + kCloudPointCount);
    drawCloudAt(t);

    EXPECT_EQ(cloudPoints[1].x, 3.0f);
    EXPECT_NEAR(once[2].x - before[2].x, 0.005 * std::sin(0.5), 1e-6);
    for (int i = 0; i < kCloudPointCount; ++i) {
        const float first = once[i].x - before[i].x;
        const float second = cloudPoints[i].x - once[i].x;
        EXPECT_LE(std::fabs(first), 0.005f + 1e-6f) << i;
        EXPECT_NEAR(second, first, 1e-5f) << i;
        EXPECT_EQ(cloudPoints[i].y, before[i].y) << i;
        EXPECT_EQ(cloudPoints[i].z, before[i].z) << i;
    }
}

TEST(CentredCloud, CentreStaysEightUnitsAheadWhileTheCloudTurns) {
    REQUIRE_HEADLESS_GL();
    const double pi = 3.14159265358979;
    for (const float t : {254.5f, 270.0f, 286.9f}) {
        fillCloud();
        const std::vector<SpriteRecord> sprites = drawCloudAt(t);
        ASSERT_EQ(sprites.size(), static_cast<std::size_t>(kCloudPointCount));
        const float* m = sprites[kCloudPointCount - 1].modelView;
        EXPECT_EQ(m[12], 0.0f);
        EXPECT_EQ(m[13], 0.0f);
        EXPECT_EQ(m[14], -8.0f);
        EXPECT_NEAR(m[0], std::cos(t * pi / 180.0), 1e-5) << t;
        EXPECT_NEAR(m[8], std::sin(t * pi / 180.0), 1e-5) << t;
        EXPECT_NEAR(m[5], 1.0f, 1e-6f);
    }
    EXPECT_FALSE(glIsEnabled(GL_BLEND));
    EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
    EXPECT_TRUE(glIsEnabled(GL_TEXTURE_2D));
}

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

} // namespace

TEST(CentredCloud, DrawsTheDriftedPointsAndTheDriftAccumulatesInXOnly) {
    REQUIRE_HEADLESS_GL();
    fillCloud();
    // Two hand-made points: no drift where t + y = 0, 0.005 sin 0.5 where t + y = 0.5.
    cloudPoints[1] = Vec3{3.0f, -258.0f, 4.0f};
    cloudPoints[2] = Vec3{-2.0f, -257.5f, 1.0f};
    const std::vector<Vec3> before(cloudPoints, cloudPoints + kCloudPointCount);
    MusicClock = 258.0f;
    SpriteLog log;
    drawCentredCloud();
    const std::vector<Vec3> once(cloudPoints, cloudPoints + kCloudPointCount);
    drawCentredCloud();

    const std::vector<SpriteRecord>& s = log.sprites();
    ASSERT_EQ(s.size(), 2u * kCloudPointCount);
    EXPECT_FLOAT_EQ(s[0].size, 1.5f);
    EXPECT_EQ(cloudPoints[1].x, 3.0f);
    EXPECT_NEAR(once[2].x - before[2].x, 0.005 * std::sin(0.5), 1e-6);
    float smallest = 10.0f, largest = 0.0f;
    for (int i = 0; i < kCloudPointCount; ++i) {
        // Each sprite sits where the drift has just put its point.
        EXPECT_TRUE(s[i].position.x == once[i].x && s[i].position.y == once[i].y &&
                    s[i].position.z == once[i].z && s[i].slot == 4)
            << i;
        const float first = once[i].x - before[i].x;
        EXPECT_LE(std::fabs(first), 0.005f + 1e-6f) << i;
        EXPECT_NEAR(cloudPoints[i].x - once[i].x, first, 1e-5f) << i;
        EXPECT_TRUE(cloudPoints[i].y == before[i].y && cloudPoints[i].z == before[i].z) << i;
        smallest = std::min(smallest, s[i].size);
        largest = std::max(largest, s[i].size);
    }
    EXPECT_TRUE(smallest >= 0.5f && smallest < 0.51f);
    EXPECT_TRUE(largest <= 2.5f && largest > 2.49f);
}

TEST(CentredCloud, CentreStaysEightUnitsAheadWhileTheCloudTurns) {
    REQUIRE_HEADLESS_GL();
    const double pi = 3.14159265358979;
    for (const float t : {254.5f, 270.0f, 286.9f}) {
        fillCloud();
        MusicClock = t;
        SpriteLog log;
        drawCentredCloud();
        ASSERT_EQ(log.sprites().size(), static_cast<std::size_t>(kCloudPointCount));
        const float* m = log.sprites().back().modelView;
        EXPECT_TRUE(m[12] == 0.0f && m[13] == 0.0f && m[14] == -8.0f) << t;
        EXPECT_NEAR(m[0], std::cos(t * pi / 180.0), 1e-5) << t;
        EXPECT_NEAR(m[8], std::sin(t * pi / 180.0), 1e-5) << t;
    }
    EXPECT_FALSE(glIsEnabled(GL_BLEND));
    EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
    EXPECT_TRUE(glIsEnabled(GL_TEXTURE_2D));
}

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "demo/music.h"
#include "scenes/scenes.h"
#include "tests/support/headless_picture.h"
#include "tests/support/sprite_log.h"

namespace {

constexpr int kSpritesPerColumn = 2000;
constexpr double kDegrees = 3.14159265358979323846 / 180.0;

// The sprite's centre in eye space: the recorded model-view matrix applied to its position.
Vec3 eyeOf(const SpriteRecord& s) {
    const float* m = s.modelView;
    const Vec3 p = s.position;
    return Vec3{m[0] * p.x + m[4] * p.y + m[8] * p.z + m[12],
                m[1] * p.x + m[5] * p.y + m[9] * p.z + m[13],
                m[2] * p.x + m[6] * p.y + m[10] * p.z + m[14]};
}

std::vector<SpriteRecord> drawAt(const float clock) {
    MusicClock = clock;
    SpriteLog log;
    drawHelixColumns();
    return log.sprites();
}

// Angle in degrees of the sprite about its column's axis, seen from above.
double turnAbout(const Vec3 eye, const float axisX, const float axisZ) {
    return std::atan2(-(eye.z - axisZ), eye.x - axisX) / kDegrees;
}

double wrapDegrees(double angle) {
    angle = std::fmod(angle, 360.0);
    if (angle > 180.0) {
        angle -= 360.0;
    }
    if (angle <= -180.0) {
        angle += 360.0;
    }
    return angle;
}

} // namespace

TEST(HelixColumns, TwoColumnsOfTwoStrandsStandOnTheirAxes) {
    REQUIRE_HEADLESS_GL();
    const std::vector<SpriteRecord> sprites = drawAt(175.3f);
    ASSERT_EQ(sprites.size(), 2u * kSpritesPerColumn);

    const float axes[2][2] = {{-13.0f, -30.0f}, {-1.0f, -15.0f}};
    for (int column = 0; column < 2; ++column) {
        for (int k = 0; k < kSpritesPerColumn; ++k) {
            const SpriteRecord& s = sprites[column * kSpritesPerColumn + k];
            const int rung = k / 2;
            EXPECT_EQ(s.slot, 4);
            const Vec3 eye = eyeOf(s);
            const float dx = eye.x - axes[column][0];
            const float dz = eye.z - axes[column][1];
            EXPECT_NEAR(std::sqrt(dx * dx + dz * dz), 2.5f, 1e-3f) << column << " " << k;
            EXPECT_NEAR(eye.y, rung * 0.125f - 40.0f, 1e-4f) << column << " " << k;
        }
    }
}

TEST(HelixColumns, FirstAndLastRungsAndOneTwistTurn) {
    REQUIRE_HEADLESS_GL();
    const std::vector<SpriteRecord> sprites = drawAt(180.0f);
    ASSERT_EQ(sprites.size(), 2u * kSpritesPerColumn);
    for (int column = 0; column < 2; ++column) {
        const SpriteRecord* c = &sprites[column * kSpritesPerColumn];
        // Rung 0: the right strand first, then the left, both at height -40.
        EXPECT_FLOAT_EQ(c[0].position.x, 2.5f);
        EXPECT_FLOAT_EQ(c[1].position.x, -2.5f);
        EXPECT_FLOAT_EQ(c[0].position.y, -40.0f);
        EXPECT_FLOAT_EQ(c[0].position.z, 0.0f);
        EXPECT_FLOAT_EQ(c[1999].position.y, 84.875f);

        // Rung 36 is one whole twist above rung 0.
        for (int strand = 0; strand < 2; ++strand) {
            const Vec3 low = eyeOf(c[strand]);
            const Vec3 high = eyeOf(c[72 + strand]);
            EXPECT_NEAR(high.x, low.x, 1e-3f);
            EXPECT_NEAR(high.y - low.y, 4.5f, 1e-4f);
            EXPECT_NEAR(high.z, low.z, 1e-3f);
        }
        // The two strands of a rung face each other across the axis.
        const Vec3 right = eyeOf(c[10]);
        const Vec3 left = eyeOf(c[11]);
        EXPECT_NEAR((right.x + left.x) / 2, column == 0 ? -13.0f : -1.0f, 1e-3f);
        EXPECT_NEAR((right.z + left.z) / 2, column == 0 ? -30.0f : -15.0f, 1e-3f);
    }
}

TEST(HelixColumns, ColumnsSpinThirtyDegreesPerSecondWithTheSecondTurnedFurther) {
    REQUIRE_HEADLESS_GL();
    const std::vector<SpriteRecord> before = drawAt(172.0f);
    const std::vector<SpriteRecord> after = drawAt(173.0f);
    ASSERT_EQ(before.size(), after.size());

    const double column0 = turnAbout(eyeOf(before[0]), -13.0f, -30.0f);
    const double column1 = turnAbout(eyeOf(before[kSpritesPerColumn]), -1.0f, -15.0f);
    EXPECT_NEAR(wrapDegrees(turnAbout(eyeOf(after[0]), -13.0f, -30.0f) - column0), 30.0, 0.05);
    EXPECT_NEAR(wrapDegrees(column1 - column0), wrapDegrees(200.0), 0.05);
    // At 172 s rung 0 has turned 30 x 172 = 5160 degrees, that is 120.
    EXPECT_NEAR(wrapDegrees(column0), 120.0, 0.05);
    // Every rung adds ten degrees of twist.
    EXPECT_NEAR(wrapDegrees(turnAbout(eyeOf(before[2]), -13.0f, -30.0f) - column0), 10.0, 0.05);
}

TEST(HelixColumns, SizesPulseInAWaveTravellingDownTheStrands) {
    REQUIRE_HEADLESS_GL();
    const std::vector<SpriteRecord> now = drawAt(185.0f);
    const std::vector<SpriteRecord> later = drawAt(186.0f);
    ASSERT_EQ(now.size(), 2u * kSpritesPerColumn);
    ASSERT_EQ(later.size(), now.size());

    float smallest = 1.0f;
    float largest = 0.0f;
    for (std::size_t k = 0; k < now.size(); k += 2) {
        EXPECT_EQ(now[k].size, now[k + 1].size) << "the strands of one rung differ at " << k;
        smallest = std::min(smallest, now[k].size);
        largest = std::max(largest, now[k].size);
    }
    EXPECT_GE(smallest, 0.23f - 1e-6f);
    EXPECT_LE(largest, 0.53f + 1e-6f);
    EXPECT_LT(smallest, 0.24f);
    EXPECT_GT(largest, 0.52f);

    // One second later each rung is as large as the rung three above it was: the wave moves
    // three rungs per second toward the lower rungs. Both columns pulse alike.
    for (int rung = 0; rung + 3 < 1000; ++rung) {
        EXPECT_NEAR(later[2 * rung].size, now[2 * (rung + 3)].size, 2e-4f) << rung;
        EXPECT_EQ(now[2 * rung].size, now[kSpritesPerColumn + 2 * rung].size);
    }
}

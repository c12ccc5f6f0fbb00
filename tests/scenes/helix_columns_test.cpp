#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "demo/music.h"
#include "scenes/scenes.h"
#include "tests/support/headless_picture.h"
#include "tests/support/sprite_log.h"

namespace {

constexpr int kPerColumn = 2000;
const float kAxes[2][2] = {{-13.0f, -30.0f}, {-1.0f, -15.0f}}; // x and z of each column

std::vector<SpriteRecord> drawAt(const float clock) {
    return recordSceneSprites(drawHelixColumns, clock);
}

// The sprite's centre in eye space: the recorded model-view matrix applied to its position.
Vec3 eyeOf(const SpriteRecord& s) {
    const float* m = s.modelView;
    const Vec3 p = s.position;
    return Vec3{m[0] * p.x + m[4] * p.y + m[8] * p.z + m[12],
                m[1] * p.x + m[5] * p.y + m[9] * p.z + m[13],
                m[2] * p.x + m[6] * p.y + m[10] * p.z + m[14]};
}

// Degrees (in -180..180] that sprite k of a column has turned about the column's axis.
double turnOf(const std::vector<SpriteRecord>& sprites, const int column, const int k) {
    const Vec3 e = eyeOf(sprites[column * kPerColumn + k]);
    const double turn = std::atan2(-(e.z - kAxes[column][1]), e.x - kAxes[column][0]) * 180.0 /
                        3.14159265358979323846;
    return std::remainder(turn, 360.0);
}

} // namespace

TEST(HelixColumns, TwoColumnsOfTwoStrandsClimbAroundTheirAxes) {
    REQUIRE_HEADLESS_GL();
    const std::vector<SpriteRecord> sprites = drawAt(180.0f);
    ASSERT_EQ(sprites.size(), 2u * kPerColumn);
    for (int column = 0; column < 2; ++column) {
        const SpriteRecord* c = &sprites[column * kPerColumn];
        EXPECT_FLOAT_EQ(c[0].position.x, 2.5f); // rung 0: right strand first, then left
        EXPECT_FLOAT_EQ(c[1].position.x, -2.5f);
        EXPECT_FLOAT_EQ(c[0].position.y, -40.0f);
        EXPECT_FLOAT_EQ(c[kPerColumn - 1].position.y, 84.875f);
        for (int k = 0; k < kPerColumn; ++k) {
            const Vec3 eye = eyeOf(c[k]);
            EXPECT_EQ(c[k].slot, 4);
            EXPECT_NEAR(std::hypot(eye.x - kAxes[column][0], eye.z - kAxes[column][1]), 2.5f,
                        1e-3f);
            EXPECT_NEAR(eye.y, (k / 2) * 0.125f - 40.0f, 1e-4f);
        }
        // Rung 36 is one whole twist above rung 0; the strands of a rung face each other.
        EXPECT_NEAR(turnOf(sprites, column, 72), turnOf(sprites, column, 0), 0.05);
        EXPECT_NEAR(std::fabs(std::remainder(
                        turnOf(sprites, column, 1) - turnOf(sprites, column, 0), 360.0)),
                    180.0, 0.05);
    }
}

TEST(HelixColumns, SpinTwistAndSizeWave) {
    REQUIRE_HEADLESS_GL();
    const std::vector<SpriteRecord> now = drawAt(172.0f);
    const std::vector<SpriteRecord> later = drawAt(173.0f);
    ASSERT_EQ(now.size(), 2u * kPerColumn);
    ASSERT_EQ(later.size(), now.size());
    // 30 x 172 = 5160 degrees, that is 120; 30 more a second; the second column 200 further;
    // ten degrees of twist per rung.
    EXPECT_NEAR(turnOf(now, 0, 0), 120.0, 0.05);
    EXPECT_NEAR(turnOf(later, 0, 0), 150.0, 0.05);
    EXPECT_NEAR(std::remainder(turnOf(now, 1, 0) - turnOf(now, 0, 0), 360.0), -160.0, 0.05);
    EXPECT_NEAR(turnOf(now, 0, 2), 130.0, 0.05);

    float smallest = 1.0f, largest = 0.0f;
    for (int rung = 0; rung < 1000; ++rung) {
        const float size = now[2 * rung].size;
        EXPECT_EQ(now[2 * rung + 1].size, size) << "strands of rung " << rung;
        EXPECT_EQ(now[kPerColumn + 2 * rung].size, size) << "columns at rung " << rung;
        smallest = std::min(smallest, size);
        largest = std::max(largest, size);
        // The pulse travels three rungs a second toward the lower rungs.
        if (rung + 3 < 1000) {
            EXPECT_NEAR(later[2 * rung].size, now[2 * (rung + 3)].size, 2e-4f) << rung;
        }
    }
    EXPECT_GE(smallest, 0.23f - 1e-6f);
    EXPECT_LT(smallest, 0.24f);
    EXPECT_LE(largest, 0.53f + 1e-6f);
    EXPECT_GT(largest, 0.52f);
}

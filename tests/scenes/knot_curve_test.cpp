#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "demo/music.h"
#include "platform/gl.h"
#include "scenes/scenes.h"
#include "tests/support/headless_picture.h"
#include "tests/support/sprite_log.h"

namespace {

constexpr std::size_t kParticles = 6000;

std::vector<SpriteRecord> drawKnotAt(const float clock, const float xWeight = 4.0f,
                                     const float yWeight = 6.0f, const float zWeight = 3.0f) {
    MusicClock = clock;
    SpriteLog log;
    drawKnotCurve(xWeight, yWeight, zWeight);
    return log.sprites();
}

} // namespace

TEST(KnotCurve, FirstParticleExtentAndSizes) {
    REQUIRE_HEADLESS_GL();
    const std::vector<SpriteRecord> s = drawKnotAt(195.5f);
    ASSERT_EQ(s.size(), kParticles);
    EXPECT_FLOAT_EQ(s[0].position.x, 50.0f);
    EXPECT_FLOAT_EQ(s[0].position.y, 0.0f);
    EXPECT_NEAR(s[0].position.z, 0.4 * std::sin(195.5), 1e-5);
    EXPECT_NEAR(s[0].size, 0.8 + 0.5 * (std::sin(195.5) + std::cos(195.5)), 1e-5);
    // 60 steps of 3.14 / 30 fall 0.0032 short of a turn: particle 60 lies beside particle 0
    // (y about -0.344), where a step built from pi would put it on top.
    EXPECT_NEAR(s[60].position.y, -0.344f, 0.003f);

    const auto byX = std::minmax_element(
        s.begin(), s.end(), [](auto& a, auto& b) { return a.position.x < b.position.x; });
    const auto byY = std::minmax_element(
        s.begin(), s.end(), [](auto& a, auto& b) { return a.position.y < b.position.y; });
    const auto bySize =
        std::minmax_element(s.begin(), s.end(), [](auto& a, auto& b) { return a.size < b.size; });
    EXPECT_NEAR(byX.first->position.x, -30.0f, 0.01f);
    EXPECT_FLOAT_EQ(byX.second->position.x, 50.0f);
    EXPECT_NEAR(byY.first->position.y, -39.436f, 0.01f);
    EXPECT_NEAR(byY.second->position.y, 39.436f, 0.01f);
    // Sizes pulse within 0.8 +- sqrt(0.5), and 6000 phases come close to both ends.
    EXPECT_GE(bySize.first->size, 0.8f - 0.70711f);
    EXPECT_LT(bySize.first->size, 0.095f);
    EXPECT_LE(bySize.second->size, 0.8f + 0.70711f);
    EXPECT_GT(bySize.second->size, 1.505f);
    EXPECT_TRUE(std::all_of(s.begin(), s.end(), [](auto& r) { return r.slot == 4; }));
}

TEST(KnotCurve, EachWeightShapesItsOwnAxis) {
    REQUIRE_HEADLESS_GL();
    const std::vector<SpriteRecord> base = drawKnotAt(197.0f);
    const std::vector<SpriteRecord> noX = drawKnotAt(197.0f, 0.0f, 6.0f, 3.0f);
    const std::vector<SpriteRecord> noY = drawKnotAt(197.0f, 4.0f, 0.0f, 3.0f);
    const std::vector<SpriteRecord> noZ = drawKnotAt(197.0f, 4.0f, 6.0f, 0.0f);
    ASSERT_EQ(base.size(), kParticles);
    EXPECT_FLOAT_EQ(noX[0].position.x, 10.0f); // only cos 2u + cos 4u remain
    int xMoved = 0, yMoved = 0, zMoved = 0;
    for (std::size_t i = 0; i < kParticles; ++i) {
        const Vec3 b = base[i].position;
        EXPECT_TRUE(noX[i].position.y == b.y && noX[i].position.z == b.z) << i;
        EXPECT_TRUE(noZ[i].position.x == b.x && noZ[i].position.y == b.y) << i;
        EXPECT_EQ(noY[i].position.x, b.x) << i;
        // z follows y only through the depth ripple 0.4 sin(t + y).
        EXPECT_LE(std::fabs(noY[i].position.z - b.z), 0.8f + 1e-4f) << i;
        xMoved += noX[i].position.x != b.x;
        yMoved += noY[i].position.y != b.y;
        zMoved += noZ[i].position.z != b.z;
    }
    EXPECT_GT(std::min({xMoved, yMoved, zMoved}), 5000);
}

TEST(KnotCurve, FiftyUnitsAwayRipplingInDepthAndLeavingWhite) {
    REQUIRE_HEADLESS_GL();
    glColor4f(0.2f, 0.3f, 0.4f, 0.5f);
    const std::vector<SpriteRecord> early = drawKnotAt(50.0f);
    ASSERT_EQ(early.size(), kParticles);
    // At t = 50 the turn about y is 360 degrees: only the 20 degree tilt about x remains.
    const float c = std::cos(20.0f * 3.14159265f / 180.0f);
    const float s = std::sin(20.0f * 3.14159265f / 180.0f);
    const float expected[16] = {1, 0, 0, 0, 0, c, s, 0, 0, -s, c, 0, 0, 0, -50, 1};
    for (int k = 0; k < 16; ++k) {
        EXPECT_NEAR(early[kParticles - 1].modelView[k], expected[k], 1e-5f) << k;
    }
    float colour[4];
    glGetFloatv(GL_CURRENT_COLOR, colour);
    EXPECT_TRUE(colour[0] == 1.0f && colour[1] == 1.0f && colour[2] == 1.0f && colour[3] == 1.0f);
    EXPECT_FALSE(glIsEnabled(GL_BLEND));

    // A second later each particle has moved only in z, by the change of 0.4 sin(t + y).
    const std::vector<SpriteRecord> later = drawKnotAt(51.0f);
    for (std::size_t i = 0; i < kParticles; i += 97) {
        const float y = early[i].position.y;
        EXPECT_EQ(later[i].position.x, early[i].position.x);
        EXPECT_EQ(later[i].position.y, y);
        EXPECT_NEAR(later[i].position.z - early[i].position.z,
                    0.4 * (std::sin(51.0f + y) - std::sin(50.0f + y)), 2e-5)
            << i;
    }
}

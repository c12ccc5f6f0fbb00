#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "demo/music.h"
#include "scenes/scenes.h"
#include "state/random.h"
#include "tests/support/headless_picture.h"
#include "tests/support/sprite_log.h"

namespace {

unsigned int stepState(const unsigned int s) {
    return s * 214013u + 2531011u;
}
int outputOf(const unsigned int s) {
    return static_cast<int>((s >> 16) & 0x7FFFu);
}

// Draws three numbers from nextRandom and recovers the generator's state from them (the top
// bit never reaches an output, so only the 16 low bits are unknown), for an independent copy.
bool catchUpWithGlobalSequence(unsigned int* state) {
    const int first = nextRandom(), second = nextRandom(), third = nextRandom();
    int found = 0;
    for (unsigned int low = 0; low < 0x10000u; ++low) {
        const unsigned int s2 = stepState((static_cast<unsigned int>(first) << 16) | low);
        if (outputOf(s2) == second && outputOf(stepState(s2)) == third) {
            *state = stepState(s2);
            ++found;
        }
    }
    return found == 1;
}

} // namespace

// The first start-up draws 6000 + 6000 numbers before the sphere's 4800. The check runs in a
// freshly started copy of this program, where no other test has moved the sequence.
TEST(SphereDirections, FirstStartUpGivesTheKnownFirstDirection) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            for (int i = 0; i < 12000; ++i) {
                nextRandom();
            }
            scatterSphereDirections();
            const Vec3 d = sphereDirections[0];
            std::fprintf(stderr, "first direction %.5f %.5f %.5f\n", d.x, d.y, d.z);
            std::exit(0);
        },
        testing::ExitedWithCode(0), "first direction 0\\.04751 0\\.42760 -0\\.90272");
}

TEST(SphereDirections, UnitVectorsOfOffsetWholeNumbersFromFourThousandEightHundredDraws) {
    unsigned int state = 0;
    ASSERT_TRUE(catchUpWithGlobalSequence(&state));
    scatterSphereDirections();
    for (int i = 0; i < kSphereDirectionCount; ++i) {
        double v[3];
        for (double& c : v) {
            state = stepState(state);
            c = outputOf(state) % 50 - 20;
        }
        const double length = std::sqrt(v[0] * v[0] + v[1] * v[1] + v[2] * v[2]);
        const Vec3 d = sphereDirections[i];
        const double scale = length > 0.0 ? length : 1.0; // a zero vector stays zero
        EXPECT_NEAR(d.x, v[0] / scale, 1e-6) << i;
        EXPECT_NEAR(d.y, v[1] / scale, 1e-6) << i;
        EXPECT_NEAR(d.z, v[2] / scale, 1e-6) << i;
    }
    EXPECT_EQ(nextRandom(), outputOf(stepState(state))) << "not exactly 4800 draws";
}

TEST(ParticleSphere, FiveHundredTwinklingParticlesTurningOnAUnitSphere) {
    REQUIRE_HEADLESS_GL();
    for (int i = 0; i < kSphereDirectionCount; ++i) {
        const double a = i * 0.37, b = i * 0.11;
        sphereDirections[i] =
            Vec3{static_cast<float>(std::cos(a) * std::sin(b)), static_cast<float>(std::cos(b)),
                 static_cast<float>(std::sin(a) * std::sin(b))};
    }
    std::vector<SpriteRecord> frames[2];
    const float clocks[2] = {204.0f, 219.0f};
    for (int f = 0; f < 2; ++f) {
        MusicClock = clocks[f];
        SpriteLog log;
        drawParticleSphere();
        frames[f] = log.sprites();
        ASSERT_EQ(frames[f].size(), 500u);
    }
    const std::vector<SpriteRecord>& now = frames[0];
    const double pi = 3.14159265358979;
    // 2 x 204 = 408 degrees, that is 48; fifteen seconds later 30 more.
    EXPECT_NEAR(now[0].modelView[0], std::cos(48.0 * pi / 180.0), 1e-5);
    EXPECT_NEAR(now[0].modelView[8], std::sin(48.0 * pi / 180.0), 1e-5);
    EXPECT_NEAR(frames[1][0].modelView[0], std::cos(78.0 * pi / 180.0), 1e-5);
    EXPECT_NEAR(now[0].modelView[12], 1.5f, 1e-6f);
    EXPECT_NEAR(now[0].modelView[14], -5.0f, 1e-6f);
    float smallest = 1.0f, largest = 0.0f;
    for (int i = 0; i < 500; ++i) {
        EXPECT_EQ(now[i].slot, 4);
        EXPECT_TRUE(now[i].position.x == sphereDirections[i].x &&
                    now[i].position.y == sphereDirections[i].y &&
                    now[i].position.z == sphereDirections[i].z)
            << i;
        smallest = std::min(smallest, now[i].size);
        largest = std::max(largest, now[i].size);
        // The twinkle of particle i + 15 reaches particle i fifteen seconds later.
        if (i + 15 < 500) {
            EXPECT_NEAR(frames[1][i].size, now[i + 15].size, 1e-5f) << i;
        }
    }
    EXPECT_GE(smallest, 0.09f - 1e-6f);
    EXPECT_LT(smallest, 0.0905f);
    EXPECT_LE(largest, 0.19f + 1e-6f);
    EXPECT_GT(largest, 0.1895f);
}

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "demo/music.h"
#include "scenes/scenes.h"
#include "tests/support/headless_picture.h"
#include "tests/support/sprite_log.h"

namespace {

// An independent copy of the show's generator, brought into step with the process-global
// sequence by recovering its hidden state from three of its outputs.
struct ReferenceRandom {
    unsigned int state;
    static unsigned int step(const unsigned int s) { return s * 214013u + 2531011u; }
    static int output(const unsigned int s) { return static_cast<int>((s >> 16) & 0x7FFFu); }
    int next() {
        state = step(state);
        return output(state);
    }
};

// Draws three numbers from nextRandom and finds a state that produces them. The top bit of
// the state never reaches an output, so only the low 16 bits need finding; they are unique.
bool catchUpWithGlobalSequence(ReferenceRandom* reference) {
    const int first = nextRandom();
    const int second = nextRandom();
    const int third = nextRandom();
    int found = 0;
    for (unsigned int low = 0; low < 0x10000u; ++low) {
        const unsigned int candidate = (static_cast<unsigned int>(first) << 16) | low;
        const unsigned int s2 = ReferenceRandom::step(candidate);
        const unsigned int s3 = ReferenceRandom::step(s2);
        if (ReferenceRandom::output(s2) == second && ReferenceRandom::output(s3) == third) {
            reference->state = s3;
            ++found;
        }
    }
    return found == 1;
}

std::vector<SpriteRecord> drawSphereAt(const float clock) {
    MusicClock = clock;
    SpriteLog log;
    drawParticleSphere();
    return log.sprites();
}

Vec3 eyeOf(const SpriteRecord& s) {
    const float* m = s.modelView;
    const Vec3 p = s.position;
    return Vec3{m[0] * p.x + m[4] * p.y + m[8] * p.z + m[12],
                m[1] * p.x + m[5] * p.y + m[9] * p.z + m[13],
                m[2] * p.x + m[6] * p.y + m[10] * p.z + m[14]};
}

// Fills the directions with a known pattern of unit vectors.
void fillUnitDirections() {
    for (int i = 0; i < kSphereDirectionCount; ++i) {
        const double a = i * 0.37;
        const double b = i * 0.11;
        sphereDirections[i] =
            Vec3{static_cast<float>(std::cos(a) * std::sin(b)), static_cast<float>(std::cos(b)),
                 static_cast<float>(std::sin(a) * std::sin(b))};
    }
}

} // namespace

// The first start-up draws 6000 + 6000 numbers before the sphere's 4800. The check runs in a
// freshly started copy of this program so that no other test has moved the sequence yet.
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

TEST(SphereDirections, ContinueTheSequenceFourThousandEightHundredDraws) {
    ReferenceRandom reference{};
    ASSERT_TRUE(catchUpWithGlobalSequence(&reference));
    scatterSphereDirections();

    for (int i = 0; i < kSphereDirectionCount; ++i) {
        const double x = reference.next() % 50 - 20;
        const double y = reference.next() % 50 - 20;
        const double z = reference.next() % 50 - 20;
        const double length = std::sqrt(x * x + y * y + z * z);
        const Vec3 d = sphereDirections[i];
        if (length == 0.0) {
            EXPECT_EQ(d.x, 0.0f);
            EXPECT_EQ(d.y, 0.0f);
            EXPECT_EQ(d.z, 0.0f);
            continue;
        }
        EXPECT_NEAR(std::sqrt(d.x * d.x + d.y * d.y + d.z * d.z), 1.0f, 1e-6f) << i;
        EXPECT_NEAR(d.x, x / length, 1e-6) << i;
        EXPECT_NEAR(d.y, y / length, 1e-6) << i;
        EXPECT_NEAR(d.z, z / length, 1e-6) << i;
    }
    // Exactly 4800 draws: the global sequence is where the reference is.
    EXPECT_EQ(nextRandom(), reference.next());
}

TEST(SphereDirections, LeanTowardPositiveCoordinates) {
    scatterSphereDirections();
    double sum[3] = {0, 0, 0};
    for (const Vec3& d : sphereDirections) {
        sum[0] += d.x;
        sum[1] += d.y;
        sum[2] += d.z;
    }
    // Whole numbers from -20 to 29 average 4.5: every mean component is clearly positive.
    for (const double s : sum) {
        EXPECT_GT(s / kSphereDirectionCount, 0.1);
    }
}

TEST(ParticleSphere, FiveHundredParticlesOnAUnitSphereRightOfCentre) {
    REQUIRE_HEADLESS_GL();
    fillUnitDirections();
    const std::vector<SpriteRecord> sprites = drawSphereAt(210.0f);
    ASSERT_EQ(sprites.size(), 500u);
    float smallest = 1.0f, largest = 0.0f;
    for (int i = 0; i < 500; ++i) {
        const SpriteRecord& s = sprites[i];
        EXPECT_EQ(s.slot, 4);
        EXPECT_EQ(s.position.x, sphereDirections[i].x);
        EXPECT_EQ(s.position.y, sphereDirections[i].y);
        EXPECT_EQ(s.position.z, sphereDirections[i].z);
        const Vec3 eye = eyeOf(s);
        const float dx = eye.x - 1.5f, dz = eye.z + 5.0f;
        EXPECT_NEAR(std::sqrt(dx * dx + eye.y * eye.y + dz * dz), 1.0f, 1e-5f) << i;
        smallest = std::min(smallest, s.size);
        largest = std::max(largest, s.size);
    }
    EXPECT_GE(smallest, 0.09f - 1e-6f);
    EXPECT_LE(largest, 0.19f + 1e-6f);
    EXPECT_LT(smallest, 0.0905f);
    EXPECT_GT(largest, 0.1895f);
}

TEST(ParticleSphere, TurnsTwoDegreesPerSecondWhileTheTwinkleMoves) {
    REQUIRE_HEADLESS_GL();
    fillUnitDirections();
    const std::vector<SpriteRecord> now = drawSphereAt(204.0f);
    const std::vector<SpriteRecord> later = drawSphereAt(219.0f);
    ASSERT_EQ(now.size(), 500u);
    ASSERT_EQ(later.size(), 500u);
    // At 204 s the turn is 408 degrees, that is 48; fifteen seconds later 30 more.
    const double pi = 3.14159265358979;
    EXPECT_NEAR(now[0].modelView[0], std::cos(48.0 * pi / 180.0), 1e-5);
    EXPECT_NEAR(now[0].modelView[8], std::sin(48.0 * pi / 180.0), 1e-5);
    EXPECT_NEAR(later[0].modelView[0], std::cos(78.0 * pi / 180.0), 1e-5);
    EXPECT_NEAR(now[0].modelView[12], 1.5f, 1e-6f);
    EXPECT_NEAR(now[0].modelView[14], -5.0f, 1e-6f);
    // The size of particle i at t is the size of particle i + 15 fifteen seconds earlier.
    for (int i = 0; i + 15 < 500; ++i) {
        EXPECT_NEAR(later[i].size, now[i + 15].size, 1e-5f) << i;
    }
}

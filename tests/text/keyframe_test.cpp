#include <gtest/gtest.h>

#include <cmath>

#include "text/keyframe.h"

// Keys at 0, 100 and 200 with the values -10, 0 and 10 on every axis. The key search uses the
// time truncated toward zero, the blend the exact time, with the weight (1 - cos(3.14 u)) / 2.
TEST(Keyframe, SampleTrackEasesBetweenTheKeysOfTheTruncatedTime) {
    const Keyframe keys[] = {{{-10, -10, -10}, 0}, {{0, 0, 0}, 100}, {{10, 10, 10}, 200}};
    const struct {
        float time;
        double value;
    } cases[] = {
        {-1e20f, -10.0},         {-1.0f, -10.0},      // before the first key: its value exactly
        {-0.5f, -9.9993839},                          // truncated to 0, not clamped: u = -0.005
        {0.0f, -10.0},           {50.0f, -5.0039816}, // 3.14, not pi: the midpoint weight is 0.4996
        {100.0f, -6.3413622e-6},                      // u = 1 stops just short of the key
        {100.5f, -4.9753377e-4},                      // still the keys at 0 and 100, with u = 1.005
        {101.0f, 2.4646975e-3},                       // the keys at 100 and 200
        {200.5f, 9.9995022},                          // u = 1.005 past the last key
        {201.0f, 10.0},          {1e20f, 10.0},       // past the last key: its value exactly
    };
    for (const auto& c : cases) {
        Vec3 out{};
        sampleTrack(keys, 3, c.time, &out);
        EXPECT_NEAR(out.y, c.value, std::abs(c.value) * 1e-6 + 1e-10) << c.time;
        EXPECT_TRUE(out.x == out.y && out.z == out.y) << c.time;
    }
    const Keyframe single[] = {{{1, 2, 3}, 40}};
    for (const float time : {-100.0f, 40.5f, 1e6f}) {
        Vec3 out{};
        sampleTrack(single, 1, time, &out);
        EXPECT_TRUE(out.x == 1 && out.y == 2 && out.z == 3) << time;
    }
    Vec3 out{9, 9, 9};
    sampleTrack(single, 0, 10.0f, &out);
    EXPECT_EQ(out.y, 9.0f) << "an empty track leaves the output as it was";
}

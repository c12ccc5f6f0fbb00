#include <gtest/gtest.h>

#include <cmath>

#include "text/keyframe.h"

namespace {

// The ease weight computed independently, in double: (1 - cos(3.14 u)) / 2.
double weight(const double u) {
    return (1.0 - std::cos(3.14 * u)) * 0.5;
}

const Keyframe kRise[] = {{{0.0f, -5.0f, 0.0f}, 0}, {{0.0f, 0.0f, 0.0f}, 700}};

Vec3 sample(const Keyframe* keys, const int count, const float time) {
    Vec3 out{99.0f, 99.0f, 99.0f};
    sampleTrack(keys, count, time, &out);
    return out;
}

} // namespace

TEST(Ease, WeightIsTheCosineOf314NotPi) {
    const Vec3 a{0.0f, 0.0f, 0.0f};
    const Vec3 b{1.0f, 2.0f, -4.0f};
    Vec3 out{};
    EXPECT_EQ(easeVec3(&out, &a, &b, 0.0f), &out);
    EXPECT_EQ(out.x, 0.0f);
    easeVec3(&out, &a, &b, 0.5f);
    EXPECT_NEAR(out.x, 0.49960, 1e-5);
    EXPECT_NEAR(out.z, -4 * 0.49960, 4e-5);
    easeVec3(&out, &a, &b, 1.0f);
    EXPECT_NEAR(out.x, 0.99999937, 1e-7);
    EXPECT_LT(out.x, 1.0f) << "3.14 stops just short of the end";
    Vec3 mirrored{};
    easeVec3(&mirrored, &a, &b, -0.3f);
    easeVec3(&out, &a, &b, 0.3f);
    EXPECT_EQ(mirrored.y, out.y) << "the weight is even in u";
}

TEST(SampleTrack, KeysAtZeroAndSevenHundred) {
    EXPECT_NEAR(sample(kRise, 2, 350.0f).y, -2.502, 1e-4);
    const Vec3 atEnd = sample(kRise, 2, 700.0f);
    EXPECT_NEAR(atEnd.y, -0.0000032, 1e-7);
    EXPECT_NE(atEnd.y, 0.0f);
    EXPECT_EQ(atEnd.x, 0.0f);

    // 700.5 still blends the keys at 0 and 700, with u = 700.5 / 700 = 1.000714.
    const Vec3 past = sample(kRise, 2, 700.5f);
    EXPECT_NEAR(past.y, -5.0 * (1.0 - weight(700.5 / 700.0)), 2e-8);
    EXPECT_NE(past.y, 0.0f);
    // From 701 on the truncated time lies after the last key: its value exactly.
    EXPECT_EQ(sample(kRise, 2, 701.0f).y, 0.0f);
    EXPECT_EQ(sample(kRise, 2, 1e20f).y, 0.0f);

    // -0.5 truncates to 0: not clamped, u is slightly below 0 and weighs as +0.5 does.
    const Vec3 before = sample(kRise, 2, -0.5f);
    EXPECT_EQ(before.y, sample(kRise, 2, 0.5f).y);
    EXPECT_NE(before.y, -5.0f);
    // From -1 on the truncated time lies before the first key: its value exactly.
    EXPECT_EQ(sample(kRise, 2, -1.0f).y, -5.0f);
    EXPECT_EQ(sample(kRise, 2, -1e20f).y, -5.0f);
}

TEST(SampleTrack, SearchesWithTheTruncatedTime) {
    const Keyframe keys[] = {{{0.0f, 0.0f, 0.0f}, 0},
                             {{10.0f, 0.0f, 0.0f}, 100},
                             {{20.0f, 0.0f, 0.0f}, 200},
                             {{0.0f, 0.0f, 0.0f}, 300}};
    // 100.5 pairs the keys at 0 and 100 (u = 1.005), just short of 10; 101 pairs 100 and 200.
    const float justPast = sample(keys, 4, 100.5f).x;
    EXPECT_NEAR(justPast, 10.0 * weight(1.005), 1e-5);
    EXPECT_LT(justPast, 10.0f);
    EXPECT_NEAR(sample(keys, 4, 101.0f).x, 10.0 + 10.0 * weight(0.01), 1e-5);
    EXPECT_NEAR(sample(keys, 4, 250.0f).x, 20.0 - 20.0 * weight(0.5), 1e-5);
    EXPECT_EQ(sample(keys, 4, 0.0f).x, 0.0f);
}

TEST(SampleTrack, OneKeyOrNone) {
    const Keyframe single[] = {{{1.0f, 2.0f, 3.0f}, 40}};
    for (const float time : {-100.0f, 0.0f, 40.0f, 40.5f, 1e6f}) {
        const Vec3 value = sample(single, 1, time);
        EXPECT_EQ(value.x, 1.0f) << time;
        EXPECT_EQ(value.z, 3.0f) << time;
    }
    // An empty track has no value to give: the output is left as it was.
    EXPECT_EQ(sample(single, 0, 10.0f).x, 99.0f);
}

TEST(Ramp, StepsAndSlopes) {
    EXPECT_EQ(ramp(10.0f, 11.0f, 9.99f), 0.0f);
    EXPECT_EQ(ramp(10.0f, 11.0f, 10.0f), 0.0f);
    EXPECT_EQ(ramp(10.0f, 11.0f, 10.5f), 0.5f);
    EXPECT_EQ(ramp(10.0f, 11.0f, 11.0f), 1.0f);
    EXPECT_EQ(ramp(10.0f, 11.0f, 500.0f), 1.0f);
    EXPECT_NEAR(ramp(278.0f, 283.0f, 280.5f), 0.5f, 1e-6);
    // start == end: a step at start, no division.
    EXPECT_EQ(ramp(5.0f, 5.0f, 4.999f), 0.0f);
    EXPECT_EQ(ramp(5.0f, 5.0f, 5.0f), 1.0f);
    EXPECT_EQ(ramp(5.0f, 5.0f, 6.0f), 1.0f);
    // end before start: still a step at start.
    EXPECT_EQ(ramp(5.0f, 3.0f, 4.0f), 0.0f);
    EXPECT_EQ(ramp(5.0f, 3.0f, 5.0f), 1.0f);
}

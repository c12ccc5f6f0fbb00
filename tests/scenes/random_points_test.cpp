#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "scenes/scenes.h"

// The random sequence belongs to the whole process, so the clouds of the first start-up are
// taken before any test runs: this environment fills the two clouds as the start-up does,
// then fills the wide cloud once more as the next start-up would.
namespace {

std::vector<Vec3> firstCloud;
std::vector<Vec3> firstSmallCloud;
std::vector<Vec3> secondCloud;

class FirstStartupFills : public testing::Environment {
  public:
    void SetUp() override {
        scatterCloudPoints();
        firstCloud.assign(cloudPoints, cloudPoints + kCloudPointCount);
        scatterSmallCloudPoints();
        firstSmallCloud.assign(smallCloudPoints, smallCloudPoints + kSmallCloudPointCount);
        scatterCloudPoints();
        secondCloud.assign(cloudPoints, cloudPoints + kCloudPointCount);
    }
};

[[maybe_unused]] testing::Environment* const firstStartupFills =
    testing::AddGlobalTestEnvironment(new FirstStartupFills);

// An independent model of the generator, to predict whole fills from a known state.
struct ReferenceRandom {
    unsigned long long state = 1;
    int next() {
        state = (state * 214013ull + 2531011ull) % 4294967296ull;
        return static_cast<int>(state / 65536ull % 32768ull);
    }
};

std::vector<Vec3> referenceFill(ReferenceRandom& random, const int count, const double scale) {
    std::vector<Vec3> points(count);
    for (Vec3& p : points) {
        float* const components[3] = {&p.x, &p.y, &p.z};
        for (float* const component : components) {
            *component = static_cast<float>((random.next() % 50 - 25) * scale);
        }
    }
    return points;
}

void expectSamePoints(const std::vector<Vec3>& actual, const std::vector<Vec3>& expected) {
    ASSERT_EQ(actual.size(), expected.size());
    int mismatches = 0;
    for (std::size_t i = 0; i < actual.size(); ++i) {
        if (actual[i].x != expected[i].x || actual[i].y != expected[i].y ||
            actual[i].z != expected[i].z) {
            ++mismatches;
        }
    }
    EXPECT_EQ(mismatches, 0);
}

void expectPoint(const Vec3& p, const float x, const float y, const float z) {
    EXPECT_EQ(p.x, x);
    EXPECT_EQ(p.y, y);
    EXPECT_EQ(p.z, z);
}

} // namespace

TEST(RandomPoints, FirstStartupGivesTheKnownClouds) {
    ASSERT_EQ(firstCloud.size(), 2000u);
    expectPoint(firstCloud[0], 16, -8, 9);
    expectPoint(firstCloud[1], -25, -6, -1);
    expectPoint(firstCloud[2], 3, -17, -13);
    ASSERT_EQ(firstSmallCloud.size(), 2000u);
    expectPoint(firstSmallCloud[0], -0.25f, 0.75f, -2.625f);
}

TEST(RandomPoints, FillsFollowTheSequenceInIndexAndComponentOrder) {
    ReferenceRandom random;
    expectSamePoints(firstCloud, referenceFill(random, 2000, 1.0));
    expectSamePoints(firstSmallCloud, referenceFill(random, 2000, 0.125));
    // A later start-up continues the sequence instead of starting it again.
    expectSamePoints(secondCloud, referenceFill(random, 2000, 1.0));
    EXPECT_NE(secondCloud[0].x, firstCloud[0].x);
}

TEST(RandomPoints, CoordinatesCoverTheirWholeRangeAndNoMore) {
    struct Range {
        const std::vector<Vec3>* points;
        float step;
        float lowest;
        float highest;
    };
    const Range ranges[] = {{&firstCloud, 1.0f, -25.0f, 24.0f},
                            {&firstSmallCloud, 0.125f, -3.125f, 3.0f}};
    for (const Range& range : ranges) {
        float lowest = 1e9f;
        float highest = -1e9f;
        int offStep = 0;
        for (const Vec3& p : *range.points) {
            for (const float c : {p.x, p.y, p.z}) {
                lowest = std::min(lowest, c);
                highest = std::max(highest, c);
                if (c / range.step != std::floor(c / range.step)) {
                    ++offStep;
                }
            }
        }
        EXPECT_EQ(lowest, range.lowest);
        EXPECT_EQ(highest, range.highest);
        EXPECT_EQ(offStep, 0);
    }
}

TEST(RandomPoints, NextRandomStaysWithinFifteenBits) {
    int lowest = 32767;
    int highest = 0;
    for (int i = 0; i < 20000; ++i) {
        const int value = nextRandom();
        lowest = std::min(lowest, value);
        highest = std::max(highest, value);
    }
    EXPECT_GE(lowest, 0);
    EXPECT_LE(highest, 32767);
    // Twenty thousand draws of a full 15-bit generator reach both ends closely.
    EXPECT_LT(lowest, 16);
    EXPECT_GT(highest, 32751);
}

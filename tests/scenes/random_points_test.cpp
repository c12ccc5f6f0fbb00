#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "scenes/scenes.h"

// The random sequence belongs to the whole process and other tests draw from it too, so
// these tests never assume where it stands: they read a few values, work out the generator's
// state from them, and predict the fills with an independent model of the generator.
namespace {

struct ReferenceRandom {
    unsigned long long state = 1;
    int next() {
        state = (state * 214013ull + 2531011ull) % 4294967296ull;
        return static_cast<int>(state / 65536ull % 32768ull);
    }
};

// A reference generator in step with nextRandom. Each draw shows bits 16 to 30 of the state;
// the top bit never reaches a draw, so trying the 16 hidden low bits of the first draw against
// three more fixes everything that matters.
ReferenceRandom synchronisedReference() {
    int seen[4];
    for (int& value : seen) {
        value = nextRandom();
    }
    std::vector<ReferenceRandom> matches;
    for (unsigned long long low = 0; low < 65536ull; ++low) {
        ReferenceRandom candidate{(static_cast<unsigned long long>(seen[0]) << 16) | low};
        bool same = true;
        for (int k = 1; k < 4 && same; ++k) {
            same = candidate.next() == seen[k];
        }
        if (same) {
            matches.push_back(candidate);
        }
    }
    EXPECT_EQ(matches.size(), 1u);
    return matches.empty() ? ReferenceRandom{} : matches.front();
}

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

int countMismatches(const Vec3* const actual, const std::vector<Vec3>& expected) {
    int mismatches = 0;
    for (std::size_t i = 0; i < expected.size(); ++i) {
        if (actual[i].x != expected[i].x || actual[i].y != expected[i].y ||
            actual[i].z != expected[i].z) {
            ++mismatches;
        }
    }
    return mismatches;
}

void expectPoint(const Vec3& p, const float x, const float y, const float z) {
    EXPECT_EQ(p.x, x);
    EXPECT_EQ(p.y, y);
    EXPECT_EQ(p.z, z);
}

} // namespace

TEST(RandomPoints, FillsFollowTheSequenceSoTheFirstStartupGivesTheKnownClouds) {
    // The fills draw x, y, z of each point in index order, the wide cloud first.
    ReferenceRandom random = synchronisedReference();
    const std::vector<Vec3> wide = referenceFill(random, kCloudPointCount, 1.0);
    const std::vector<Vec3> compact = referenceFill(random, kSmallCloudPointCount, 0.125);
    scatterCloudPoints();
    scatterSmallCloudPoints();
    EXPECT_EQ(countMismatches(cloudPoints, wide), 0);
    EXPECT_EQ(countMismatches(smallCloudPoints, compact), 0);

    // From the generator's first state (1) that gives these clouds.
    ReferenceRandom first;
    const std::vector<Vec3> firstWide = referenceFill(first, kCloudPointCount, 1.0);
    const std::vector<Vec3> firstCompact = referenceFill(first, kSmallCloudPointCount, 0.125);
    expectPoint(firstWide[0], 16, -8, 9);
    expectPoint(firstWide[1], -25, -6, -1);
    expectPoint(firstWide[2], 3, -17, -13);
    expectPoint(firstCompact[0], -0.25f, 0.75f, -2.625f);
}

TEST(RandomPoints, ALaterStartupContinuesTheSequence) {
    ReferenceRandom random = synchronisedReference();
    scatterCloudPoints();
    const std::vector<Vec3> before(cloudPoints, cloudPoints + kCloudPointCount);
    referenceFill(random, kCloudPointCount, 1.0);
    scatterCloudPoints();
    EXPECT_EQ(countMismatches(cloudPoints, referenceFill(random, kCloudPointCount, 1.0)), 0);
    EXPECT_GT(countMismatches(cloudPoints, before), 1900);
}

TEST(RandomPoints, CoordinatesCoverTheirWholeRangeAndNoMore) {
    scatterCloudPoints();
    scatterSmallCloudPoints();
    struct Range {
        const Vec3* points;
        float step;
        float lowest;
        float highest;
    };
    const Range ranges[] = {{cloudPoints, 1.0f, -25.0f, 24.0f},
                            {smallCloudPoints, 0.125f, -3.125f, 3.0f}};
    for (const Range& range : ranges) {
        float lowest = 1e9f;
        float highest = -1e9f;
        int offStep = 0;
        for (int i = 0; i < 2000; ++i) {
            const Vec3& p = range.points[i];
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

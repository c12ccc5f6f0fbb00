#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "scenes/scenes.h"
#include "state/random.h"

// Other tests draw from the process-wide sequence too, so these never assume where it stands:
// they read four values, work out the generator's state, and predict the fills with an
// independent model of the generator.
namespace {

struct ReferenceRandom {
    unsigned long long state = 1;
    int next() {
        state = (state * 214013ull + 2531011ull) % 4294967296ull;
        return static_cast<int>(state / 65536ull % 32768ull);
    }
};

// Each draw shows bits 16 to 30 of the state and the top bit never reaches a draw, so the 16
// low bits hidden under the first draw, checked against three more, fix the sequence.
ReferenceRandom synchronisedReference() {
    int seen[4];
    for (int& value : seen) {
        value = nextRandom();
    }
    int matches = 0;
    ReferenceRandom found;
    for (unsigned long long low = 0; low < 65536ull; ++low) {
        ReferenceRandom candidate{(static_cast<unsigned long long>(seen[0]) << 16) | low};
        if (candidate.next() == seen[1] && candidate.next() == seen[2] &&
            candidate.next() == seen[3]) {
            found = candidate;
            ++matches;
        }
    }
    EXPECT_EQ(matches, 1);
    return found;
}

// x, y, z of each point in index order, each ((draw mod 50) - 25) x scale.
std::vector<Vec3> referenceFill(ReferenceRandom& random, const double scale) {
    std::vector<Vec3> points(2000);
    for (Vec3& p : points) {
        for (float* const c : {&p.x, &p.y, &p.z}) {
            *c = static_cast<float>((random.next() % 50 - 25) * scale);
        }
    }
    return points;
}

int countMismatches(const Vec3* const actual, const std::vector<Vec3>& expected) {
    int mismatches = 0;
    for (std::size_t i = 0; i < expected.size(); ++i) {
        const Vec3& e = expected[i];
        mismatches += actual[i].x != e.x || actual[i].y != e.y || actual[i].z != e.z;
    }
    return mismatches;
}

} // namespace

TEST(RandomPoints, FillsFollowTheSequenceSoTheFirstStartupGivesTheKnownClouds) {
    ReferenceRandom random = synchronisedReference();
    const std::vector<Vec3> wide = referenceFill(random, 1.0);
    const std::vector<Vec3> compact = referenceFill(random, 0.125);
    scatterCloudPoints();
    scatterSmallCloudPoints();
    EXPECT_EQ(countMismatches(cloudPoints, wide), 0);
    EXPECT_EQ(countMismatches(smallCloudPoints, compact), 0);

    // From the generator's first state the fills give these clouds.
    ReferenceRandom first;
    const std::vector<Vec3> firstWide = referenceFill(first, 1.0);
    const std::vector<Vec3> firstCompact = referenceFill(first, 0.125);
    const Vec3 expected[4] = {{16, -8, 9}, {-25, -6, -1}, {3, -17, -13}, {-0.25f, 0.75f, -2.625f}};
    const Vec3 got[4] = {firstWide[0], firstWide[1], firstWide[2], firstCompact[0]};
    for (int k = 0; k < 4; ++k) {
        EXPECT_EQ(got[k].x, expected[k].x) << k;
        EXPECT_EQ(got[k].y, expected[k].y) << k;
        EXPECT_EQ(got[k].z, expected[k].z) << k;
    }

    // Every coordinate is a whole step, and the fills reach both ends of their ranges.
    const struct {
        const Vec3* points;
        float step, lowest, highest;
    } ranges[] = {{cloudPoints, 1.0f, -25.0f, 24.0f}, {smallCloudPoints, 0.125f, -3.125f, 3.0f}};
    for (const auto& range : ranges) {
        float lowest = 1e9f;
        float highest = -1e9f;
        int offStep = 0;
        for (int i = 0; i < 2000; ++i) {
            for (const float c : {range.points[i].x, range.points[i].y, range.points[i].z}) {
                lowest = std::min(lowest, c);
                highest = std::max(highest, c);
                offStep += c / range.step != static_cast<float>(static_cast<int>(c / range.step));
            }
        }
        EXPECT_EQ(lowest, range.lowest);
        EXPECT_EQ(highest, range.highest);
        EXPECT_EQ(offStep, 0);
    }
}

TEST(RandomPoints, ALaterStartupContinuesTheSequence) {
    ReferenceRandom random = synchronisedReference();
    scatterCloudPoints();
    const std::vector<Vec3> before(cloudPoints, cloudPoints + kCloudPointCount);
    referenceFill(random, 1.0);
    scatterCloudPoints();
    EXPECT_EQ(countMismatches(cloudPoints, referenceFill(random, 1.0)), 0);
    EXPECT_GT(countMismatches(cloudPoints, before), 1900);
}

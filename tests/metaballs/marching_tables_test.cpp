#include <gtest/gtest.h>

#include <algorithm>
#include <set>

#include "metaballs/marching_tables.h"

namespace {

int coordinate(const int corner, const int axis) {
    const CornerStep& c = cubeCorners[corner];
    return axis == 0 ? c.x : (axis == 1 ? c.y : c.z);
}

bool outside(const int configuration, const int corner) {
    return ((configuration >> corner) & 1) != 0;
}

} // namespace

// With the corners where the cube numbering puts them, every configuration (bit k: corner k
// outside) flags exactly the edges whose corners lie on different sides, and its row is a patch
// of at most five triangles over exactly those edges, every triangle facing inward across the
// edges it cuts (taken at their midpoints).
TEST(MarchingTables, EveryConfigurationIsAnOrientedPatchOverItsCrossedEdges) {
    std::set<int> facing;
    for (int configuration = 0; configuration < 256; ++configuration) {
        SCOPED_TRACE(configuration);
        unsigned crossed = 0;
        for (int e = 0; e < kCubeEdges; ++e) {
            crossed |= unsigned(outside(configuration, edgeCorners[e][0]) !=
                                outside(configuration, edgeCorners[e][1]))
                       << e;
        }
        EXPECT_EQ(edgeTable[configuration], crossed);
        const std::int8_t* const row = triTable[configuration];
        const long length = std::find(row, row + 16, -1) - row;
        ASSERT_TRUE(length < 16 && length % 3 == 0);
        unsigned used = 0;
        for (int t = 0; t < length; t += 3) {
            double p[3][3];
            double inward[3] = {0, 0, 0};
            for (int k = 0; k < 3; ++k) {
                const int e = row[t + k];
                ASSERT_TRUE(e >= 0 && e < kCubeEdges);
                used |= 1u << e;
                const int a = edgeCorners[e][0];
                const int b = edgeCorners[e][1];
                const int towardB = outside(configuration, a) ? 1 : -1;
                for (int axis = 0; axis < 3; ++axis) {
                    p[k][axis] = (coordinate(a, axis) + coordinate(b, axis)) / 2.0;
                    inward[axis] += towardB * (coordinate(b, axis) - coordinate(a, axis));
                }
            }
            const double u[3] = {p[1][0] - p[0][0], p[1][1] - p[0][1], p[1][2] - p[0][2]};
            const double v[3] = {p[2][0] - p[0][0], p[2][1] - p[0][1], p[2][2] - p[0][2]};
            const double side = (u[1] * v[2] - u[2] * v[1]) * inward[0] +
                                (u[2] * v[0] - u[0] * v[2]) * inward[1] +
                                (u[0] * v[1] - u[1] * v[0]) * inward[2];
            facing.insert(side > 0 ? 1 : (side < 0 ? -1 : 0));
        }
        EXPECT_EQ(used, crossed);
    }
    EXPECT_EQ(facing, std::set<int>{1});
}

#include <gtest/gtest.h>

#include <array>
#include <map>
#include <set>
#include <utility>
#include <vector>

#include "metaballs/marching_tables.h"

namespace {

// The cube numbering written out independently of the tables under test: corner positions in
// cells from the anchor, and each edge from its first to its second corner.
constexpr int kCorner[8][3] = {{0, 1, 0}, {1, 1, 0}, {1, 1, -1}, {0, 1, -1},
                               {0, 0, 0}, {1, 0, 0}, {1, 0, -1}, {0, 0, -1}};
constexpr int kEdge[12][2] = {{0, 1}, {1, 2}, {2, 3}, {3, 0}, {4, 5}, {5, 6},
                              {6, 7}, {7, 4}, {0, 4}, {1, 5}, {2, 6}, {3, 7}};

bool outside(const int configuration, const int corner) {
    return ((configuration >> corner) & 1) != 0;
}

std::vector<std::array<int, 3>> triangles(const int configuration) {
    std::vector<std::array<int, 3>> result;
    const std::int8_t* row = triTable[configuration];
    for (int t = 0; t + 2 < 16 && row[t] != -1; t += 3) {
        result.push_back({row[t], row[t + 1], row[t + 2]});
    }
    return result;
}

// The faces of the cube, each as the set of its four corners.
std::vector<std::set<int>> cubeFaces() {
    std::vector<std::set<int>> faces;
    for (int axis = 0; axis < 3; ++axis) {
        for (const int level : {-1, 0, 1}) {
            std::set<int> face;
            for (int c = 0; c < 8; ++c) {
                if (kCorner[c][axis] == level) {
                    face.insert(c);
                }
            }
            if (face.size() == 4) {
                faces.push_back(face);
            }
        }
    }
    return faces;
}

bool onOneFace(const int edgeA, const int edgeB) {
    for (const std::set<int>& face : cubeFaces()) {
        if (face.count(kEdge[edgeA][0]) && face.count(kEdge[edgeA][1]) &&
            face.count(kEdge[edgeB][0]) && face.count(kEdge[edgeB][1])) {
            return true;
        }
    }
    return false;
}

} // namespace

TEST(MarchingTables, EdgeTableFlagsExactlyTheEdgesWithEndsOnDifferentSides) {
    for (int configuration = 0; configuration < 256; ++configuration) {
        unsigned expected = 0;
        for (int e = 0; e < 12; ++e) {
            if (outside(configuration, kEdge[e][0]) != outside(configuration, kEdge[e][1])) {
                expected |= 1u << e;
            }
        }
        EXPECT_EQ(edgeTable[configuration], expected) << "configuration " << configuration;
    }
}

TEST(MarchingTables, TriTableHasTheWellKnownRows) {
    using Rows = std::vector<std::array<int, 3>>;
    EXPECT_TRUE(triangles(0).empty());
    EXPECT_TRUE(triangles(255).empty());
    EXPECT_EQ(triangles(1), (Rows{{0, 8, 3}}));
    EXPECT_EQ(triangles(2), (Rows{{0, 1, 9}}));
    EXPECT_EQ(triangles(3), (Rows{{1, 8, 3}, {9, 8, 1}}));
    EXPECT_EQ(triangles(7), (Rows{{2, 8, 3}, {2, 10, 8}, {10, 9, 8}}));
    EXPECT_EQ(triangles(239), (Rows{{4, 8, 7}}));
    EXPECT_EQ(triangles(254), (Rows{{0, 3, 8}}));
}

// Every row must be a patch of surface that uses exactly the crossed edges, whose open border
// runs over the cube's faces (so neighbouring cells can meet it), with every inner edge shared
// by two triangles of opposite winding, and at most five triangles ended by -1.
TEST(MarchingTables, EveryTriTableRowIsAnOrientedPatchOverTheCrossedEdges) {
    for (int configuration = 0; configuration < 256; ++configuration) {
        SCOPED_TRACE(configuration);
        const std::int8_t* row = triTable[configuration];
        int length = 0;
        while (length < 16 && row[length] != -1) {
            ++length;
        }
        ASSERT_LT(length, 16) << "every row ends with -1";
        ASSERT_EQ(length % 3, 0);
        ASSERT_LE(length, 15);

        std::set<int> used;
        std::map<std::pair<int, int>, int> directed;
        for (const auto& t : triangles(configuration)) {
            for (int k = 0; k < 3; ++k) {
                ASSERT_GE(t[k], 0);
                ASSERT_LT(t[k], 12);
                used.insert(t[k]);
                ++directed[{t[k], t[(k + 1) % 3]}];
            }
        }
        std::set<int> crossed;
        for (int e = 0; e < 12; ++e) {
            if ((edgeTable[configuration] >> e) & 1u) {
                crossed.insert(e);
            }
        }
        EXPECT_EQ(used, crossed);
        for (const auto& [segment, count] : directed) {
            EXPECT_EQ(count, 1) << "segment " << segment.first << "-" << segment.second;
            if (directed.count({segment.second, segment.first}) == 0) {
                EXPECT_TRUE(onOneFace(segment.first, segment.second))
                    << "border " << segment.first << "-" << segment.second;
            }
        }
    }
}

// With corners at unit positions and crossings at edge midpoints, every triangle must wind the
// same way relative to the outside-to-inside direction of the edges it cuts.
TEST(MarchingTables, AllTrianglesFaceTheSameSide) {
    std::set<int> windings;
    for (int configuration = 0; configuration < 256; ++configuration) {
        for (const auto& t : triangles(configuration)) {
            double p[3][3];
            double through[3] = {0, 0, 0};
            for (int k = 0; k < 3; ++k) {
                const int a = kEdge[t[k]][0];
                const int b = kEdge[t[k]][1];
                const int from = outside(configuration, a) ? a : b;
                const int to = from == a ? b : a;
                for (int axis = 0; axis < 3; ++axis) {
                    p[k][axis] = (kCorner[a][axis] + kCorner[b][axis]) / 2.0;
                    through[axis] += kCorner[to][axis] - kCorner[from][axis];
                }
            }
            const double u[3] = {p[1][0] - p[0][0], p[1][1] - p[0][1], p[1][2] - p[0][2]};
            const double v[3] = {p[2][0] - p[0][0], p[2][1] - p[0][1], p[2][2] - p[0][2]};
            const double normal[3] = {u[1] * v[2] - u[2] * v[1], u[2] * v[0] - u[0] * v[2],
                                      u[0] * v[1] - u[1] * v[0]};
            const double side =
                normal[0] * through[0] + normal[1] * through[1] + normal[2] * through[2];
            windings.insert(side > 0 ? 1 : (side < 0 ? -1 : 0));
        }
    }
    EXPECT_EQ(windings, (std::set<int>{1}));
}

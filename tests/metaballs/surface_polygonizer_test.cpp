#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <vector>

#include "metaballs/marching_tables.h"
#include "metaballs/metaball_globals.h"
#include "metaballs/metaball_scene.h"
#include "metaballs/surface_polygonizer.h"

namespace {

const IntVec3 kUnwritten{INT_MIN, INT_MIN, INT_MIN};

// A field of the show's shape over its own balls, and a polygonizer over it writing into a
// buffer of `capacity` places followed by a guard band of 64 that must never be written.
struct Tracer {
    Tracer(std::vector<IntVec3> centres, std::int32_t capacity)
        : balls(std::move(centres)),
          field(static_cast<std::int32_t>(balls.size()), 11, 32, gridExtent, balls.data()),
          buffer(static_cast<std::size_t>(capacity) + 64, kUnwritten),
          polygonizer(gridExtent, &field, buffer.data(), capacity) {}
    std::vector<IntVec3> mesh() const {
        return {buffer.begin(), buffer.begin() + polygonizer.vertexCount};
    }
    bool guardIntact() const {
        return std::count(buffer.end() - 64, buffer.end(), kUnwritten) == 64;
    }

    std::vector<IntVec3> balls;
    MetaballField field;
    std::vector<IntVec3> buffer;
    SurfacePolygonizer polygonizer;
};

// The traversal in its plain recursive form, from the cell layout and the tables: the order in
// which the iterative one must reach the cells and store their triangles.
struct RecursiveTracer {
    void polygonize(const int x, const int y, const int z) {
        const int cell = (((z + 80) / 5) * 32 + (y + 80) / 5) * 32 + (x + 80) / 5;
        if (std::max({x, y, z}) >= 80 || std::min({x, y, z}) < -80 || visited[cell]) {
            return;
        }
        visited[cell] = 1;
        const int configuration = cells.cubeIndex(x, y, z);
        const auto corner = [&](const int c) {
            return IntVec3{x + 5 * cubeCorners[c].x, y + 5 * cubeCorners[c].y,
                           z + 5 * cubeCorners[c].z};
        };
        for (int t = 0; triTable[configuration][t] != -1; t += 3) {
            for (int k = 2; k >= 0; --k) { // the table's triangles face inward: turned outward
                const std::uint8_t* const edge = edgeCorners[triTable[configuration][t + k]];
                mesh.push_back(cells.field->interpolateEdge(corner(edge[0]), corner(edge[1])));
            }
        }
        const int steps[6][3] = {{-5, 0, 0}, {5, 0, 0},  {0, -5, 0},
                                 {0, 5, 0},  {0, 0, -5}, {0, 0, 5}};
        for (int n = 0; edgeTable[configuration] != 0 && n < 6; ++n) { // crossed cells only
            polygonize(x + steps[n][0], y + steps[n][1], z + steps[n][2]);
        }
    }

    SurfacePolygonizer& cells; // classifies cells; its own traversal is not used
    std::vector<std::uint8_t> visited = std::vector<std::uint8_t>(32768, 0);
    std::vector<IntVec3> mesh = {};
};

} // namespace

// From anchors along every ball's +x side, starting one unit inside its surface, the iterative
// traversal marks the same cells and stores the same triangles in the same order. Anchors
// outside the grid or in cells already processed add nothing; cells the surface does not cross
// are marked but not expanded.
TEST(SurfacePolygonizer, FollowsTheOrderOfTheRecursiveTraversal) {
    std::vector<std::vector<IntVec3>> fields;
    for (const float t : {139.0f, 143.7f, 150.25f, 155.9f}) {
        moveMetaballs(t);
        fields.emplace_back(ballPositions, ballPositions + kMetaballCount);
    }
    // Surfaces cut by the border of the grid, where corners outside it take part with -1; the
    // last ball's anchor lies outside the grid.
    fields.push_back({{66, 0, 0}, {-70, 65, -72}, {5, 72, 68}, {60, -74, -20}, {72, -30, 40}});
    for (const std::vector<IntVec3>& balls : fields) {
        Tracer iterative(balls, MaxMeshVertices);
        Tracer scratch(balls, 0);
        RecursiveTracer recursive{scratch.polygonizer};
        for (const IntVec3& b : balls) {
            for (int x = b.x + 10; x < b.x + 40; x += 5) {
                iterative.polygonizer.polygonize(x, b.y, b.z);
                recursive.polygonize(x, b.y, b.z);
            }
        }
        ASSERT_GT(recursive.mesh.size(), 456u);
        EXPECT_EQ(iterative.mesh(), recursive.mesh);
        EXPECT_TRUE(std::equal(recursive.visited.begin(), recursive.visited.end(),
                               iterative.polygonizer.visited.get()));
    }
}

// With a buffer too small for a lone ball's shell the triangles that do not fit whole are
// dropped and nothing is written past it, while the traversal itself runs to its end; a field
// cached as alternately inside and outside from cell to cell crosses nearly every cell, far more
// triangles than the show's buffer holds.
TEST(SurfacePolygonizer, AFullBufferKeepsWholeTrianglesAndNeverOverruns) {
    Tracer whole({{0, 0, 0}}, MaxMeshVertices);
    EXPECT_EQ(whole.polygonizer.cubeIndex(11, 0, 0), 239) << "corner 4 at the threshold: inside";
    whole.field.clearCache();
    whole.polygonizer.polygonize(10, 0, 0);
    const std::vector<IntVec3> mesh = whole.mesh();
    ASSERT_EQ(mesh.size(), 456u);
    for (const std::int32_t capacity : {0, 2, 100, 455, 456, 458}) {
        Tracer bounded({{0, 0, 0}}, capacity);
        bounded.polygonizer.polygonize(10, 0, 0);
        EXPECT_EQ(
            bounded.mesh(),
            std::vector<IntVec3>(mesh.begin(), mesh.begin() + std::min(capacity / 3 * 3, 456)));
        EXPECT_TRUE(std::equal(bounded.polygonizer.visited.get(),
                               bounded.polygonizer.visited.get() + 32768,
                               whole.polygonizer.visited.get()));
        EXPECT_TRUE(bounded.guardIntact()) << capacity;
    }
    Tracer full({}, MaxMeshVertices);
    for (int i = 0; i < full.field.cellCount(); ++i) {
        full.field.cache[i] = (i % 32 + i / 32 % 32 + i / 1024) % 2 == 0 ? 1.0f : 0.001f;
    }
    full.polygonizer.polygonize(0, 0, 0);
    EXPECT_EQ(full.polygonizer.vertexCount, MaxMeshVertices / 3 * 3);
    EXPECT_TRUE(full.guardIntact());
}

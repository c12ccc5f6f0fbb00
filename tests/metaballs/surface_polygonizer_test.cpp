#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <random>
#include <vector>

#include "metaballs/marching_tables.h"
#include "metaballs/metaball_globals.h"
#include "metaballs/metaball_scene.h"
#include "metaballs/surface_polygonizer.h"

namespace {

const IntVec3 kExtent{160, 160, 160};
const IntVec3 kUnwritten{INT_MIN, INT_MIN, INT_MIN};

// A field of the show's shape over its own balls, and a polygonizer over it writing into its
// own buffer of `capacity` places followed by a guard band that must never be written.
struct Tracer {
    static constexpr std::size_t kGuard = 64;

    Tracer(std::vector<IntVec3> centres, std::int32_t capacity)
        : balls(std::move(centres)),
          field(static_cast<std::int32_t>(balls.size()), 11, 32, kExtent, balls.data()),
          buffer(static_cast<std::size_t>(capacity) + kGuard, kUnwritten),
          polygonizer(kExtent, &field, buffer.data(), capacity) {}

    std::vector<IntVec3> mesh() const {
        return {buffer.begin(), buffer.begin() + polygonizer.vertexCount};
    }
    int visitedCells() const {
        return static_cast<int>(std::count(polygonizer.visited.get(),
                                           polygonizer.visited.get() + polygonizer.visitedSize,
                                           std::uint8_t{1}));
    }
    bool guardIntact() const {
        return std::all_of(buffer.end() - kGuard, buffer.end(),
                           [](const IntVec3& v) { return v == kUnwritten; });
    }

    std::vector<IntVec3> balls;
    MetaballField field;
    std::vector<IntVec3> buffer;
    SurfacePolygonizer polygonizer;
};

// The traversal in its plain recursive form, written from the cell layout and the tables: the
// order every iterative traversal must reproduce.
struct RecursiveTracer {
    explicit RecursiveTracer(MetaballField& field) : field(field), visited(32768, 0) {}

    void polygonize(const int x, const int y, const int z) {
        if (x < -80 || y < -80 || z < -80 || x >= 80 || y >= 80 || z >= 80) {
            return;
        }
        const int cell = (((z + 80) / 5) * 32 + (y + 80) / 5) * 32 + (x + 80) / 5;
        if (visited[static_cast<std::size_t>(cell)] != 0) {
            return;
        }
        visited[static_cast<std::size_t>(cell)] = 1;
        IntVec3 corners[8];
        int configuration = 0;
        for (int c = 0; c < 8; ++c) {
            corners[c] = IntVec3{x + 5 * cubeCorners[c].x, y + 5 * cubeCorners[c].y,
                                 z + 5 * cubeCorners[c].z};
            if (field.isOutside(corners[c].x, corners[c].y, corners[c].z)) {
                configuration |= 1 << c;
            }
        }
        if (edgeTable[configuration] == 0) {
            return;
        }
        IntVec3 points[12] = {};
        for (int e = 0; e < 12; ++e) {
            if ((edgeTable[configuration] >> e) & 1u) {
                points[e] =
                    field.interpolateEdge(corners[edgeCorners[e][0]], corners[edgeCorners[e][1]]);
            }
        }
        for (int t = 0; triTable[configuration][t] != -1; t += 3) {
            mesh.push_back(points[triTable[configuration][t + 2]]);
            mesh.push_back(points[triTable[configuration][t + 1]]);
            mesh.push_back(points[triTable[configuration][t]]);
        }
        polygonize(x - 5, y, z);
        polygonize(x + 5, y, z);
        polygonize(x, y - 5, z);
        polygonize(x, y + 5, z);
        polygonize(x, y, z - 5);
        polygonize(x, y, z + 5);
    }

    MetaballField& field;
    std::vector<std::uint8_t> visited;
    std::vector<IntVec3> mesh;
};

// Seeds one unit inside each ball's +x side, walked towards -x to the first cell with an
// outside corner, found on a scratch field so the traced fields start with clean caches.
std::vector<IntVec3> seedsFor(const std::vector<IntVec3>& balls) {
    Tracer scratch(balls, 3);
    std::vector<IntVec3> seeds;
    for (const IntVec3& b : balls) {
        int x = b.x + 10;
        while (x >= -80 && scratch.polygonizer.cubeIndex(x, b.y, b.z) == 0) {
            x -= 5;
        }
        seeds.push_back(IntVec3{x, b.y, b.z});
        scratch.field.clearCache();
    }
    return seeds;
}

// A field whose cached values alternate between inside and outside from cell to cell, so that
// nearly every cell of the grid is crossed: far more triangles than the vertex buffer holds.
void fillCheckerboard(MetaballField& field) {
    for (int k = 0; k < 32; ++k) {
        for (int j = 0; j < 32; ++j) {
            for (int i = 0; i < 32; ++i) {
                field.cache[static_cast<std::size_t>((k * 32 + j) * 32 + i)] =
                    (i + j + k) % 2 == 0 ? 1.0f : 0.001f;
            }
        }
    }
}

} // namespace

TEST(SurfacePolygonizer, TheShowsPolygonizerCoversTheGridOfTheField) {
    EXPECT_EQ(surfacePolygonizer.halfExtent, (IntVec3{80, 80, 80}));
    EXPECT_EQ(surfacePolygonizer.cellSize, (IntVec3{5, 5, 5}));
    EXPECT_EQ(surfacePolygonizer.field, &metaballField);
    EXPECT_EQ(surfacePolygonizer.resolution, 32);
    EXPECT_EQ(surfacePolygonizer.visitedSize, 32768);
    EXPECT_EQ(surfacePolygonizer.vertices, meshVertices);
    EXPECT_EQ(surfacePolygonizer.vertexCapacity, MaxMeshVertices);
}

TEST(SurfacePolygonizer, TracesTheWholeShellOfALoneBall) {
    Tracer lone({{0, 0, 0}}, MaxMeshVertices);
    SurfacePolygonizer& polygonizer = lone.polygonizer;
    ASSERT_EQ(polygonizer.cubeIndex(10, 0, 0), 239) << "only the anchor corner is inside";
    lone.field.clearCache();

    polygonizer.polygonize(10, 0, 0);
    const std::vector<IntVec3> mesh = lone.mesh();
    ASSERT_EQ(mesh.size(), 456u);
    EXPECT_EQ(mesh[0], (IntVec3{10, 0, -4}));
    EXPECT_EQ(mesh[1], (IntVec3{10, 4, 0}));
    EXPECT_EQ(mesh[2], (IntVec3{11, 0, 0}));
    EXPECT_EQ(lone.visitedCells(), 184);
    for (const IntVec3& v : mesh) {
        EXPECT_LE(std::max({std::abs(v.x), std::abs(v.y), std::abs(v.z)}), 11);
    }

    // Anchors in cells already traversed add nothing, whatever their lattice offset.
    polygonizer.polygonize(10, 0, 0);
    polygonizer.polygonize(12, 3, -1);
    polygonizer.polygonize(-13, 1, 2);
    EXPECT_EQ(polygonizer.vertexCount, 456);
    EXPECT_EQ(lone.visitedCells(), 184);

    polygonizer.clear();
    EXPECT_EQ(polygonizer.vertexCount, 0);
    EXPECT_EQ(lone.visitedCells(), 0);
}

TEST(SurfacePolygonizer, AnchorsOutsideTheGridAddAndMarkNothing) {
    Tracer lone({{76, 0, 0}}, MaxMeshVertices);
    for (const IntVec3 a : {IntVec3{80, 0, 0}, IntVec3{-81, 0, 0}, IntVec3{0, 80, 0},
                            IntVec3{0, -81, 0}, IntVec3{0, 0, 80}, IntVec3{0, 0, -81}}) {
        lone.polygonizer.polygonize(a.x, a.y, a.z);
    }
    EXPECT_EQ(lone.polygonizer.vertexCount, 0);
    EXPECT_EQ(lone.visitedCells(), 0);
    EXPECT_FALSE(lone.polygonizer.isVisited(80, 0, 0));
}

TEST(SurfacePolygonizer, CellsWithNoCrossingAreMarkedButNotExpanded) {
    Tracer lone({{0, 0, 0}}, MaxMeshVertices);
    SurfacePolygonizer& polygonizer = lone.polygonizer;
    ASSERT_EQ(polygonizer.cubeIndex(0, 0, 0), 0) << "all corners inside";
    ASSERT_EQ(polygonizer.cubeIndex(50, 50, 50), 255) << "all corners outside";

    polygonizer.polygonize(0, 0, 0);
    polygonizer.polygonize(50, 50, 50);
    EXPECT_EQ(polygonizer.vertexCount, 0);
    EXPECT_EQ(lone.visitedCells(), 2);
    EXPECT_TRUE(polygonizer.isVisited(4, 4, 4));
    EXPECT_TRUE(polygonizer.isVisited(50, 50, 50));
    EXPECT_FALSE(polygonizer.isVisited(5, 0, 0));
}

TEST(SurfacePolygonizer, FollowsTheSameOrderAsTheRecursiveTraversal) {
    std::vector<std::vector<IntVec3>> fields;
    for (const float t : {139.0f, 143.7f, 150.25f, 155.9f}) {
        moveMetaballs(t);
        fields.emplace_back(ballPositions, ballPositions + kMetaballCount);
    }
    std::mt19937 random(20261206);
    std::uniform_int_distribution<int> coordinate(-50, 50);
    for (int f = 0; f < 3; ++f) {
        std::vector<IntVec3> balls;
        for (int b = 0; b < 6; ++b) {
            balls.push_back(IntVec3{coordinate(random), coordinate(random), coordinate(random)});
        }
        fields.push_back(balls);
    }
    // Surfaces cut by the border of the grid, where corners outside it take part with -1.
    fields.push_back({{66, 0, 0}, {-70, 65, -72}, {5, 72, 68}, {60, -74, -20}});

    for (const std::vector<IntVec3>& balls : fields) {
        const std::vector<IntVec3> seeds = seedsFor(balls);
        Tracer iterative(balls, MaxMeshVertices);
        std::vector<IntVec3> referenceBalls = balls;
        MetaballField referenceField(static_cast<std::int32_t>(balls.size()), 11, 32, kExtent,
                                     referenceBalls.data());
        RecursiveTracer reference(referenceField);
        for (const IntVec3& seed : seeds) {
            iterative.polygonizer.polygonize(seed.x, seed.y, seed.z);
            reference.polygonize(seed.x, seed.y, seed.z);
        }
        ASSERT_GT(reference.mesh.size(), 456u);
        EXPECT_EQ(iterative.mesh(), reference.mesh);
        EXPECT_TRUE(std::equal(reference.visited.begin(), reference.visited.end(),
                               iterative.polygonizer.visited.get()));
    }
}

TEST(SurfacePolygonizer, AFullBufferKeepsWholeTrianglesAndNeverOverruns) {
    Tracer unbounded({{0, 0, 0}}, MaxMeshVertices);
    unbounded.polygonizer.polygonize(10, 0, 0);
    const std::vector<IntVec3> whole = unbounded.mesh();

    for (const std::int32_t capacity : {0, 2, 100, 455, 456, 458}) {
        SCOPED_TRACE(capacity);
        Tracer bounded({{0, 0, 0}}, capacity);
        bounded.polygonizer.polygonize(10, 0, 0);
        const std::int32_t expected = std::min(capacity / 3 * 3, 456);
        EXPECT_EQ(bounded.polygonizer.vertexCount, expected);
        EXPECT_TRUE(std::equal(whole.begin(), whole.begin() + expected, bounded.buffer.begin()));
        EXPECT_EQ(bounded.visitedCells(), 184) << "the traversal itself runs to its end";
        EXPECT_TRUE(bounded.guardIntact());
    }
}

TEST(SurfacePolygonizer, AFieldBeyondTheVertexBufferFillsItExactly) {
    Tracer unbounded({}, 32768 * 15);
    fillCheckerboard(unbounded.field);
    unbounded.polygonizer.polygonize(0, 0, 0);
    ASSERT_GT(unbounded.polygonizer.vertexCount, MaxMeshVertices);

    Tracer bounded({}, MaxMeshVertices);
    fillCheckerboard(bounded.field);
    bounded.polygonizer.polygonize(0, 0, 0);
    EXPECT_EQ(bounded.polygonizer.vertexCount, MaxMeshVertices / 3 * 3);
    EXPECT_TRUE(bounded.guardIntact());
    EXPECT_TRUE(std::equal(bounded.buffer.begin(),
                           bounded.buffer.begin() + bounded.polygonizer.vertexCount,
                           unbounded.buffer.begin()));
}

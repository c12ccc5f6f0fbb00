#include "metaballs/surface_polygonizer.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <new>

#include "metaballs/marching_tables.h"

namespace {

constexpr std::int32_t kGridResolution = 32;

// The six face neighbours in the order the traversal visits them.
constexpr CornerStep kNeighbourSteps[6] = {
    {-1, 0, 0}, {1, 0, 0}, {0, -1, 0}, {0, 1, 0}, {0, 0, -1}, {0, 0, 1},
};
constexpr int kLastNeighbour = 5;

template <typename T> std::unique_ptr<T[]> allocateZeroed(const std::int32_t count) {
    std::unique_ptr<T[]> block(new (std::nothrow) T[static_cast<std::size_t>(count)]());
    if (!block) {
        std::fprintf(stderr, "Error: no memory for the surface polygonizer (%d cells)\n", count);
        std::abort();
    }
    return block;
}

IntVec3 step(const IntVec3 anchor, const CornerStep offset, const IntVec3 cellSize) {
    return IntVec3{anchor.x + offset.x * cellSize.x, anchor.y + offset.y * cellSize.y,
                   anchor.z + offset.z * cellSize.z};
}

} // namespace

SurfacePolygonizer::SurfacePolygonizer(const IntVec3 gridExtent, MetaballField* const field,
                                       IntVec3* const vertices, const std::int32_t vertexCapacity)
    : halfExtent{gridExtent.x / 2, gridExtent.y / 2, gridExtent.z / 2},
      cellSize{gridExtent.x / kGridResolution, gridExtent.y / kGridResolution,
               gridExtent.z / kGridResolution},
      field(field), resolution(kGridResolution),
      visitedSize(kGridResolution * kGridResolution * kGridResolution),
      visited(allocateZeroed<std::uint8_t>(visitedSize)), vertices(vertices), vertexCount(0),
      vertexCapacity(vertexCapacity), pending(allocateZeroed<PendingCell>(visitedSize)) {}

bool SurfacePolygonizer::contains(const std::int32_t x, const std::int32_t y,
                                  const std::int32_t z) const {
    return x >= -halfExtent.x && y >= -halfExtent.y && z >= -halfExtent.z && x < halfExtent.x &&
           y < halfExtent.y && z < halfExtent.z;
}

std::int32_t SurfacePolygonizer::cellIndex(const std::int32_t x, const std::int32_t y,
                                           const std::int32_t z) const {
    const std::int32_t column = (x + halfExtent.x) / cellSize.x;
    const std::int32_t row = (y + halfExtent.y) / cellSize.y;
    const std::int32_t layer = (z + halfExtent.z) / cellSize.z;
    return (layer * resolution + row) * resolution + column;
}

bool SurfacePolygonizer::isVisited(const std::int32_t x, const std::int32_t y,
                                   const std::int32_t z) const {
    return contains(x, y, z) && visited[static_cast<std::size_t>(cellIndex(x, y, z))] != 0;
}

int SurfacePolygonizer::cubeIndex(const std::int32_t x, const std::int32_t y,
                                  const std::int32_t z) {
    int configuration = 0;
    for (int corner = 0; corner < kCubeCorners; ++corner) {
        const IntVec3 p = step(IntVec3{x, y, z}, cubeCorners[corner], cellSize);
        if (field->isOutside(p.x, p.y, p.z)) {
            configuration |= 1 << corner;
        }
    }
    return configuration;
}

void SurfacePolygonizer::clear() {
    std::fill_n(visited.get(), visitedSize, std::uint8_t{0});
    vertexCount = 0;
}

void SurfacePolygonizer::triangulateCell(const IntVec3 anchor, const int configuration) {
    const unsigned crossed = edgeTable[configuration];
    IntVec3 points[kCubeEdges] = {};
    for (int edge = 0; edge < kCubeEdges; ++edge) {
        if ((crossed & (1u << edge)) != 0) {
            points[edge] =
                field->interpolateEdge(step(anchor, cubeCorners[edgeCorners[edge][0]], cellSize),
                                       step(anchor, cubeCorners[edgeCorners[edge][1]], cellSize));
        }
    }
    const std::int8_t* const row = triTable[configuration];
    for (int t = 0; row[t] != -1; t += 3) {
        if (vertexCount > vertexCapacity - 3) {
            return; // full: whole triangles only, never past the buffer
        }
        vertices[vertexCount] = points[row[t + 2]];
        vertices[vertexCount + 1] = points[row[t + 1]];
        vertices[vertexCount + 2] = points[row[t]];
        vertexCount += 3;
    }
}

// Marks the cell at `anchor` and triangulates it; true when the surface crosses it, so that
// its neighbours are to be visited.
bool SurfacePolygonizer::enterCell(const IntVec3 anchor) {
    if (!contains(anchor.x, anchor.y, anchor.z)) {
        return false;
    }
    std::uint8_t& mark = visited[static_cast<std::size_t>(cellIndex(anchor.x, anchor.y, anchor.z))];
    if (mark != 0) {
        return false;
    }
    mark = 1;
    const int configuration = cubeIndex(anchor.x, anchor.y, anchor.z);
    if (edgeTable[configuration] == 0) {
        return false;
    }
    triangulateCell(anchor, configuration);
    return true;
}

// Depth first over crossed cells, visiting each cell's six neighbours in order, each completely
// before the next: the output order of the plain recursive traversal, without its call depth.
void SurfacePolygonizer::polygonize(const std::int32_t x, const std::int32_t y,
                                    const std::int32_t z) {
    if (!enterCell(IntVec3{x, y, z})) {
        return;
    }
    std::int32_t depth = 0;
    pending[depth++] = PendingCell{IntVec3{x, y, z}, 0};
    while (depth > 0) {
        PendingCell& top = pending[depth - 1];
        const int neighbour = top.nextNeighbour++;
        const IntVec3 next = step(top.anchor, kNeighbourSteps[neighbour], cellSize);
        if (neighbour == kLastNeighbour) {
            --depth; // the last neighbour replaces its cell on the stack
        }
        if (enterCell(next)) {
            pending[depth++] = PendingCell{next, 0};
        }
    }
}

#include "metaballs/surface_polygonizer.h"

#include <algorithm>
#include <bit>
#include <cstdio>
#include <cstdlib>

#include "metaballs/marching_tables.h"
#include "metaballs/zeroed_block.h"

namespace {

constexpr std::int32_t kGridResolution = 32;

// The six face neighbours in the order the traversal visits them.
constexpr CornerStep kNeighbourSteps[6] = {
    {-1, 0, 0}, {1, 0, 0}, {0, -1, 0}, {0, 1, 0}, {0, 0, -1}, {0, 0, 1},
};
constexpr int kLastNeighbour = 5;

constexpr const char* kOwner = "the surface polygonizer";

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
      visited(allocateZeroed<std::uint8_t>(visitedSize, kOwner)), vertices(vertices),
      vertexCount(0), vertexCapacity(vertexCapacity),
      pending(allocateZeroed<PendingCell>(visitedSize, kOwner)) {
    // The visited cells are addressed by the field's cell index: both must cut the same grid.
    if (field->resolution != resolution || field->halfExtent != halfExtent ||
        field->cellSize != cellSize) {
        std::fprintf(stderr, "Error: the surface polygonizer and its field cut different grids\n");
        std::abort();
    }
    for (int corner = 0; corner < kCubeCorners; ++corner) {
        cornerCellSteps[corner] = cubeCorners[corner].x + cubeCorners[corner].y * resolution +
                                  cubeCorners[corner].z * resolution * resolution;
    }
}

bool SurfacePolygonizer::contains(const std::int32_t x, const std::int32_t y,
                                  const std::int32_t z) const {
    return x >= -halfExtent.x && y >= -halfExtent.y && z >= -halfExtent.z && x < halfExtent.x &&
           y < halfExtent.y && z < halfExtent.z;
}

std::int32_t SurfacePolygonizer::cellIndex(const std::int32_t x, const std::int32_t y,
                                           const std::int32_t z) const {
    return field->cellIndex(x, y, z);
}

bool SurfacePolygonizer::isVisited(const std::int32_t x, const std::int32_t y,
                                   const std::int32_t z) const {
    return contains(x, y, z) && visited[static_cast<std::size_t>(cellIndex(x, y, z))] != 0;
}

int SurfacePolygonizer::cubeIndex(const std::int32_t x, const std::int32_t y,
                                  const std::int32_t z) {
    float values[kCubeCorners];
    return classifyCell(IntVec3{x, y, z}, values);
}

int SurfacePolygonizer::classifyCell(const IntVec3 anchor, float values[8]) {
    // A cube wholly inside the grid has its corners in the anchor's cell and the cells next to
    // it, so one cell index serves all eight; a cube over the border samples each corner alone.
    const bool inside = contains(anchor.x, anchor.y, anchor.z - cellSize.z) &&
                        contains(anchor.x + cellSize.x, anchor.y + cellSize.y, anchor.z);
    const std::int32_t anchorCell = inside ? cellIndex(anchor.x, anchor.y, anchor.z) : 0;
    int configuration = 0;
    for (int corner = 0; corner < kCubeCorners; ++corner) {
        const IntVec3 p = step(anchor, cubeCorners[corner], cellSize);
        values[corner] =
            inside ? field->valueInCell(anchorCell + cornerCellSteps[corner], p.x, p.y, p.z)
                   : field->value(p.x, p.y, p.z);
        if (values[corner] < field->threshold) {
            configuration |= 1 << corner;
        }
    }
    return configuration;
}

void SurfacePolygonizer::clear() {
    std::fill_n(visited.get(), visitedSize, std::uint8_t{0});
    vertexCount = 0;
}

void SurfacePolygonizer::triangulateCell(const IntVec3 anchor, const int configuration,
                                         const float values[8]) {
    IntVec3 points[kCubeEdges];
    for (unsigned crossed = edgeTable[configuration]; crossed != 0; crossed &= crossed - 1) {
        // The corner values are those interpolateEdge would read back from the cache.
        const int edge = std::countr_zero(crossed);
        const int first = edgeCorners[edge][0];
        const int second = edgeCorners[edge][1];
        points[edge] = field->crossing(step(anchor, cubeCorners[first], cellSize), values[first],
                                       step(anchor, cubeCorners[second], cellSize), values[second]);
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
    float values[kCubeCorners];
    const int configuration = classifyCell(anchor, values);
    if (edgeTable[configuration] == 0) {
        return false;
    }
    triangulateCell(anchor, configuration, values);
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

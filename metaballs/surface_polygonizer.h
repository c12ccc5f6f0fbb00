#pragma once
#include <cstdint>
#include <memory>

#include "metaballs/metaball_field.h"

// The places of the metaball vertex buffer.
inline constexpr std::int32_t MaxMeshVertices = 163840;

// Follows the surface of a MetaballField from cell to cell through shared faces, depth first,
// and appends the marching-cubes triangles of every crossed cell it reaches to a flat vertex
// buffer (three corners per triangle, nothing shared). Only crossed cells are expanded, so the
// work grows with the area of the surface rather than the volume of the grid.
struct SurfacePolygonizer {
    // One cell waiting in the traversal: its anchor and the next face neighbour to visit.
    struct PendingCell {
        IntVec3 anchor;
        std::int32_t nextNeighbour;
    };

    IntVec3 halfExtent;
    IntVec3 cellSize;
    MetaballField* field;
    std::int32_t resolution;
    std::int32_t visitedSize;
    // One byte per grid cell, addressed like the field's cache: 1 once processed.
    std::unique_ptr<std::uint8_t[]> visited;
    // The vertex buffer; not owned.
    IntVec3* vertices;
    // Corners written since the last clearing; always a multiple of 3.
    std::int32_t vertexCount;
    // The places of `vertices`. Triangles that would not fit whole are dropped.
    std::int32_t vertexCapacity;
    // The explicit traversal stack; every cell enters it at most once per clearing.
    std::unique_ptr<PendingCell[]> pending;
    // How far each corner's grid cell lies from the anchor's cell in the cell index.
    std::int32_t cornerCellSteps[8];

    SurfacePolygonizer(IntVec3 gridExtent, MetaballField* field, IntVec3* vertices,
                       std::int32_t vertexCapacity);
    SurfacePolygonizer(const SurfacePolygonizer&) = delete;
    SurfacePolygonizer& operator=(const SurfacePolygonizer&) = delete;

    bool contains(std::int32_t x, std::int32_t y, std::int32_t z) const;
    // The field's cell index of the grid cell holding a point inside the grid.
    std::int32_t cellIndex(std::int32_t x, std::int32_t y, std::int32_t z) const;
    // True when the grid cell holding (x, y, z) was processed since the last clearing; false
    // for points outside the grid.
    bool isVisited(std::int32_t x, std::int32_t y, std::int32_t z) const;
    // Bit k set when corner k of the cell at anchor (x, y, z) is outside the surface.
    int cubeIndex(std::int32_t x, std::int32_t y, std::int32_t z);
    // The same, also giving the field's value at every corner, sampled in corner order.
    int classifyCell(IntVec3 anchor, float values[8]);
    // Traces the surface from the cell at anchor (x, y, z), appending triangles. Does nothing
    // for an anchor outside the grid or in a cell already processed.
    void polygonize(std::int32_t x, std::int32_t y, std::int32_t z);
    // Forgets every processed cell and every vertex.
    void clear();

  private:
    bool enterCell(IntVec3 anchor);
    void triangulateCell(IntVec3 anchor, int configuration, const float values[8]);
};

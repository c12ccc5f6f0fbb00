#pragma once
#include <cstdint>
#include <memory>

// An integer point of the metaball grid: ball centres and mesh corners.
struct IntVec3 {
    std::int32_t x;
    std::int32_t y;
    std::int32_t z;
    friend bool operator==(const IntVec3&, const IntVec3&) = default;
};

// The scalar field of a set of balls: the sum over the balls of 1 / (d² + 1), sampled at integer
// points of a cube centred on the origin and cut into resolution³ equal cells. Every sample is
// remembered in a per-cell cache until the cache is cleared: one value per cell, so a later query
// of any point of a cell returns the value of the first point of that cell that was evaluated.
struct MetaballField {
    std::int32_t ballCount;
    std::int32_t resolution;
    // The iso level: 1 / (radius² + 1), the value of a lone ball at distance radius.
    float threshold;
    // The centres summed at every evaluation; not owned.
    const IntVec3* balls;
    IntVec3 cellSize;
    IntVec3 halfExtent;
    // resolution³ entries, 0.0 for a cell not computed since the last clearing.
    std::unique_ptr<float[]> cache;
    // The cell index split per axis, so that a lookup needs no division: for a coordinate c,
    // entry c + halfExtent of each axis's part holds that axis's share of the index.
    std::unique_ptr<std::int32_t[]> cellOffsets;

    MetaballField(std::int32_t ballCount, std::int32_t radius, std::int32_t resolution,
                  IntVec3 extent, const IntVec3* balls);
    MetaballField(const MetaballField&) = delete;
    MetaballField& operator=(const MetaballField&) = delete;

    // True for the points from -halfExtent up to but not including +halfExtent on every axis.
    bool contains(std::int32_t x, std::int32_t y, std::int32_t z) const {
        return x >= -halfExtent.x && y >= -halfExtent.y && z >= -halfExtent.z && x < halfExtent.x &&
               y < halfExtent.y && z < halfExtent.z;
    }
    // The cache index of the cell holding a point of the grid (x fastest, then y, then z).
    std::int32_t cellIndex(std::int32_t x, std::int32_t y, std::int32_t z) const {
        const std::int32_t* const columns = cellOffsets.get();
        const std::int32_t* const rows = columns + 2 * halfExtent.x;
        const std::int32_t* const layers = rows + 2 * halfExtent.y;
        return columns[x + halfExtent.x] + rows[y + halfExtent.y] + layers[z + halfExtent.z];
    }
    std::int32_t cellCount() const { return resolution * resolution * resolution; }

    // The field at (x, y, z), from the cell's cache entry when it has one; -1.0 outside the grid.
    float value(std::int32_t x, std::int32_t y, std::int32_t z);
    // The value at (x, y, z), a point of the grid inside cell `cell`: the cell's cached value,
    // or the sum over the balls at (x, y, z), then cached.
    float valueInCell(std::int32_t cell, std::int32_t x, std::int32_t y, std::int32_t z) {
        float& cached = cache[static_cast<std::size_t>(cell)];
        if (cached == 0.0f) {
            cached = sumAt(x, y, z);
        }
        return cached;
    }
    // The sum over the balls at (x, y, z), rounded to a 32-bit float; never cached.
    float sumAt(std::int32_t x, std::int32_t y, std::int32_t z) const;
    // True when the value lies below the threshold; points outside the grid are outside.
    bool isOutside(std::int32_t x, std::int32_t y, std::int32_t z);
    // Forgets every cached value: needed whenever the balls have moved.
    void clearCache();
    // The point where the field crosses the threshold on the edge from p1 to p2, each coordinate
    // truncated toward zero. The two ends must lie on different sides of the threshold.
    IntVec3 interpolateEdge(IntVec3 p1, IntVec3 p2);
    // The same crossing from the values already sampled at the two ends.
    IntVec3 crossing(IntVec3 p1, float val1, IntVec3 p2, float val2) const;
};

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

    MetaballField(std::int32_t ballCount, std::int32_t radius, std::int32_t resolution,
                  IntVec3 extent, const IntVec3* balls);
    MetaballField(const MetaballField&) = delete;
    MetaballField& operator=(const MetaballField&) = delete;

    // True for the points from -halfExtent up to but not including +halfExtent on every axis.
    bool contains(std::int32_t x, std::int32_t y, std::int32_t z) const;
    // The cache index of the cell holding a point of the grid (x fastest, then y, then z).
    std::int32_t cellIndex(std::int32_t x, std::int32_t y, std::int32_t z) const;
    std::int32_t cellCount() const { return resolution * resolution * resolution; }

    // The field at (x, y, z), from the cell's cache entry when it has one; -1.0 outside the grid.
    float value(std::int32_t x, std::int32_t y, std::int32_t z);
    // True when the value lies below the threshold; points outside the grid are outside.
    bool isOutside(std::int32_t x, std::int32_t y, std::int32_t z);
    // Forgets every cached value: needed whenever the balls have moved.
    void clearCache();
    // The point where the field crosses the threshold on the edge from p1 to p2, each coordinate
    // truncated toward zero. The two ends must lie on different sides of the threshold.
    IntVec3 interpolateEdge(IntVec3 p1, IntVec3 p2);
};

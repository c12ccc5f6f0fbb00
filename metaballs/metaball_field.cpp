#include "metaballs/metaball_field.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <new>

static std::unique_ptr<float[]> allocateCache(const std::int32_t cellCount) {
    std::unique_ptr<float[]> cache(new (std::nothrow) float[static_cast<std::size_t>(cellCount)]());
    if (!cache) {
        std::fprintf(stderr, "Error: no memory for the metaball field cache (%d cells)\n",
                     cellCount);
        std::abort();
    }
    return cache;
}

MetaballField::MetaballField(const std::int32_t ballCount, const std::int32_t radius,
                             const std::int32_t resolution, const IntVec3 extent,
                             const IntVec3* const balls)
    : ballCount(ballCount), resolution(resolution),
      threshold(1.0f / static_cast<float>(radius * radius + 1)),
      balls(balls), cellSize{extent.x / resolution, extent.y / resolution, extent.z / resolution},
      halfExtent{extent.x / 2, extent.y / 2, extent.z / 2},
      cache(allocateCache(resolution * resolution * resolution)) {}

bool MetaballField::contains(const std::int32_t x, const std::int32_t y,
                             const std::int32_t z) const {
    return x >= -halfExtent.x && y >= -halfExtent.y && z >= -halfExtent.z && x < halfExtent.x &&
           y < halfExtent.y && z < halfExtent.z;
}

std::int32_t MetaballField::cellIndex(const std::int32_t x, const std::int32_t y,
                                      const std::int32_t z) const {
    const std::int32_t column = (x + halfExtent.x) / cellSize.x;
    const std::int32_t row = (y + halfExtent.y) / cellSize.y;
    const std::int32_t layer = (z + halfExtent.z) / cellSize.z;
    return (layer * resolution + row) * resolution + column;
}

float MetaballField::value(const std::int32_t x, const std::int32_t y, const std::int32_t z) {
    if (!contains(x, y, z)) {
        return -1.0f;
    }
    float& cached = cache[static_cast<std::size_t>(cellIndex(x, y, z))];
    if (cached != 0.0f) {
        return cached;
    }
    double sum = 0.0;
    for (std::int32_t i = 0; i < ballCount; ++i) {
        const IntVec3 b = balls[i];
        const std::int32_t squared =
            (z - b.z) * (z - b.z) + (y - b.y) * (y - b.y) + (x - b.x) * (x - b.x) + 1;
        sum += 1.0 / squared;
    }
    cached = static_cast<float>(sum);
    return cached;
}

bool MetaballField::isOutside(const std::int32_t x, const std::int32_t y, const std::int32_t z) {
    return value(x, y, z) < threshold;
}

void MetaballField::clearCache() {
    std::fill_n(cache.get(), cellCount(), 0.0f);
}

IntVec3 MetaballField::interpolateEdge(const IntVec3 p1, const IntVec3 p2) {
    const float val1 = value(p1.x, p1.y, p1.z);
    const float val2 = value(p2.x, p2.y, p2.z);
    const float a = threshold - val1;
    const float span = val2 - val1;
    const auto along = [&](const std::int32_t from, const std::int32_t to) {
        return static_cast<std::int32_t>(static_cast<float>(from) +
                                         static_cast<float>(to - from) * a / span);
    };
    return IntVec3{along(p1.x, p2.x), along(p1.y, p2.y), along(p1.z, p2.z)};
}

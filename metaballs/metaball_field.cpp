#include "metaballs/metaball_field.h"

#include <algorithm>

#include "metaballs/zeroed_block.h"

namespace {

constexpr const char* kOwner = "the metaball field";

// Per axis, for every coordinate from -half to half - 1: (coordinate + half) / cell x stride.
std::unique_ptr<std::int32_t[]> makeCellOffsets(const IntVec3 halfExtent, const IntVec3 cellSize,
                                                const std::int32_t resolution) {
    std::unique_ptr<std::int32_t[]> offsets =
        allocateZeroed<std::int32_t>(2 * (halfExtent.x + halfExtent.y + halfExtent.z), kOwner);
    const std::int32_t half[3] = {halfExtent.x, halfExtent.y, halfExtent.z};
    const std::int32_t cell[3] = {cellSize.x, cellSize.y, cellSize.z};
    const std::int32_t stride[3] = {1, resolution, resolution * resolution};
    std::int32_t* entry = offsets.get();
    for (int axis = 0; axis < 3; ++axis) {
        for (std::int32_t c = 0; c < 2 * half[axis]; ++c) {
            *entry++ = c / cell[axis] * stride[axis];
        }
    }
    return offsets;
}

} // namespace

MetaballField::MetaballField(const std::int32_t ballCount, const std::int32_t radius,
                             const std::int32_t resolution, const IntVec3 extent,
                             const IntVec3* const balls)
    : ballCount(ballCount), resolution(resolution),
      threshold(1.0f / static_cast<float>(radius * radius + 1)),
      balls(balls), cellSize{extent.x / resolution, extent.y / resolution, extent.z / resolution},
      halfExtent{extent.x / 2, extent.y / 2, extent.z / 2},
      cache(allocateZeroed<float>(resolution * resolution * resolution, kOwner)),
      cellOffsets(makeCellOffsets(halfExtent, cellSize, resolution)) {}

float MetaballField::value(const std::int32_t x, const std::int32_t y, const std::int32_t z) {
    if (!contains(x, y, z)) {
        return -1.0f;
    }
    return valueInCell(cellIndex(x, y, z), x, y, z);
}

float MetaballField::sumAt(const std::int32_t x, const std::int32_t y, const std::int32_t z) const {
    double sum = 0.0;
    for (std::int32_t i = 0; i < ballCount; ++i) {
        const IntVec3 b = balls[i];
        const std::int32_t squared =
            (z - b.z) * (z - b.z) + (y - b.y) * (y - b.y) + (x - b.x) * (x - b.x) + 1;
        sum += 1.0 / squared;
    }
    return static_cast<float>(sum);
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
    return crossing(p1, val1, p2, val2);
}

IntVec3 MetaballField::crossing(const IntVec3 p1, const float val1, const IntVec3 p2,
                                const float val2) const {
    const float a = threshold - val1;
    const float span = val2 - val1;
    if (span == 0.0f) {
        return p1; // both ends on one side: no crossing to place, and no division by zero
    }
    // An axis along which the edge does not move keeps its coordinate exactly (0 x a / span
    // adds nothing), so only the moving axis pays for the division.
    const auto along = [&](const std::int32_t from, const std::int32_t to) {
        if (from == to) {
            return from;
        }
        return static_cast<std::int32_t>(static_cast<float>(from) +
                                         static_cast<float>(to - from) * a / span);
    };
    return IntVec3{along(p1.x, p2.x), along(p1.y, p2.y), along(p1.z, p2.z)};
}

#include <gtest/gtest.h>

#include <algorithm>

#include "metaballs/metaball_field.h"
#include "metaballs/metaball_globals.h"

// A field of the show's shape (radius 11, 32 cells of 5 per axis from -80 to 79) over a lone
// ball: 1 / (d² + 1) at the points of the grid, each cell caching the first value asked of it
// until cleared, the threshold 1 / 122 itself inside; -1 outside the grid, never cached.
TEST(MetaballField, ValuesCrossingsAndTheCacheOfALoneBall) {
    IntVec3 ball{0, 0, 0};
    MetaballField field(1, 11, 32, gridExtent, &ball);
    // A point and the d² + 1 of its value, or -1 outside the grid.
    const int cases[][4] = {{0, 0, 0, 1},   {11, 0, 0, 122}, {12, 0, 0, 145}, {-80, 0, 0, 6401},
                            {80, 0, 0, -1}, {0, -81, 0, -1}, {0, 0, 80, -1}};
    for (const auto& c : cases) {
        field.clearCache();
        const float value = c[3] < 0 ? -1.0f : 1.0f / static_cast<float>(c[3]);
        EXPECT_EQ(field.value(c[0], c[1], c[2]), value) << c[0] << " " << c[1] << " " << c[2];
        EXPECT_EQ(field.isOutside(c[0], c[1], c[2]), c[3] < 0 || c[3] > 122) << c[0];
        const long cached = std::count_if(field.cache.get(), field.cache.get() + field.cellCount(),
                                          [](const float v) { return v != 0.0f; });
        EXPECT_EQ(cached, c[3] < 0 ? 0 : 1) << "cells cached";
    }
    // The crossing near 11.55 on the x axis, truncated toward zero on either side and from
    // either end; ends of equal value keep the first rather than divide by zero.
    const IntVec3 edges[][3] = {{{10, 0, 0}, {15, 0, 0}, {11, 0, 0}},
                                {{-10, 0, 0}, {-15, 0, 0}, {-11, 0, 0}},
                                {{-15, 0, 0}, {-10, 0, 0}, {-11, 0, 0}},
                                {{0, 20, 0}, {20, 0, 0}, {0, 20, 0}}};
    for (const auto& e : edges) {
        field.clearCache();
        EXPECT_EQ(field.interpolateEdge(e[0], e[1]), e[2]) << e[0].x << " to " << e[1].x;
    }
    field.clearCache();
    ASSERT_EQ(field.value(0, 0, 0), 1.0f);
    ball = IntVec3{3, 4, 0};
    EXPECT_EQ(field.value(1, 1, 1), 1.0f) << "the origin's cell, until the cache is cleared";
    field.clearCache();
    EXPECT_EQ(field.value(1, 1, 1), 1.0f / 15.0f);
    const IntVec3 pair[2] = {{0, 0, 0}, {3, 4, 0}};
    EXPECT_FLOAT_EQ(MetaballField(2, 11, 32, gridExtent, pair).value(0, 0, 0), 1.0f + 1.0f / 26.0f);
    EXPECT_TRUE(MetaballField(0, 11, 32, gridExtent, nullptr).isOutside(0, 0, 0)) << "no balls";
    // A corner outside the grid takes part in a crossing with -1.
    ball = IntVec3{76, 0, 0};
    field.clearCache();
    EXPECT_EQ(field.interpolateEdge({75, 0, 0}, {80, 0, 0}), (IntVec3{76, 0, 0}));
}

#include <gtest/gtest.h>

#include "metaballs/metaball_field.h"
#include "metaballs/metaball_globals.h"

namespace {

const IntVec3 kExtent{160, 160, 160};

// A field of the show's shape (radius 11, 32 cells of 5 per axis) over the given balls.
struct TestField {
    explicit TestField(std::vector<IntVec3> centres)
        : balls(std::move(centres)),
          field(static_cast<std::int32_t>(balls.size()), 11, 32, kExtent, balls.data()) {}
    std::vector<IntVec3> balls;
    MetaballField field;
};

int computedCells(const MetaballField& field) {
    int computed = 0;
    for (int i = 0; i < field.cellCount(); ++i) {
        computed += field.cache[static_cast<std::size_t>(i)] != 0.0f ? 1 : 0;
    }
    return computed;
}

} // namespace

TEST(MetaballField, TheShowsFieldHasItsGridAndThreshold) {
    EXPECT_EQ(metaballField.ballCount, 10);
    EXPECT_EQ(metaballField.resolution, 32);
    EXPECT_EQ(metaballField.threshold, 1.0f / 122.0f);
    EXPECT_EQ(metaballField.cellSize, (IntVec3{5, 5, 5}));
    EXPECT_EQ(metaballField.halfExtent, (IntVec3{80, 80, 80}));
    EXPECT_EQ(metaballField.balls, ballPositions);
    EXPECT_EQ(metaballField.cellCount(), 32768);
}

TEST(MetaballField, GridSpansMinus80To79WithXFastest) {
    TestField lone({{0, 0, 0}});
    MetaballField& field = lone.field;
    for (const IntVec3 p : {IntVec3{80, 0, 0}, IntVec3{0, 80, 0}, IntVec3{0, 0, 80},
                            IntVec3{-81, 0, 0}, IntVec3{0, -81, 0}, IntVec3{0, 0, -81}}) {
        EXPECT_EQ(field.value(p.x, p.y, p.z), -1.0f) << p.x << " " << p.y << " " << p.z;
        EXPECT_TRUE(field.isOutside(p.x, p.y, p.z));
    }
    EXPECT_EQ(computedCells(field), 0) << "points outside the grid are never cached";

    EXPECT_GT(field.value(-80, 0, 0), 0.0f);
    EXPECT_GT(field.value(79, 79, 79), 0.0f);
    EXPECT_EQ(field.cellIndex(-80, -80, -80), 0);
    EXPECT_EQ(field.cellIndex(-76, -76, -76), 0);
    EXPECT_EQ(field.cellIndex(-75, -80, -80), 1);
    EXPECT_EQ(field.cellIndex(-80, -75, -80), 32);
    EXPECT_EQ(field.cellIndex(-80, -80, -75), 1024);
    EXPECT_EQ(field.cellIndex(79, 79, 79), 32767);
    EXPECT_EQ(field.cellIndex(-80, 0, 0) % 32, 0) << "x = -80 is cell column 0";
}

TEST(MetaballField, LoneBallIsOneAtItsCentreAndMeetsTheThresholdAt11) {
    TestField lone({{0, 0, 0}});
    MetaballField& field = lone.field;
    EXPECT_EQ(field.value(0, 0, 0), 1.0f);

    field.clearCache();
    EXPECT_EQ(field.value(11, 0, 0), 1.0f / 122.0f);
    EXPECT_FALSE(field.isOutside(11, 0, 0)) << "the threshold itself counts as inside";

    // (11, 0, 0) and (12, 0, 0) share a cell: only a cleared cache gives the value at 12.
    field.clearCache();
    EXPECT_EQ(field.value(12, 0, 0), 1.0f / 145.0f);
    EXPECT_TRUE(field.isOutside(12, 0, 0));
}

TEST(MetaballField, SumsEveryBall) {
    TestField pair({{0, 0, 0}, {3, 4, 0}});
    EXPECT_FLOAT_EQ(pair.field.value(0, 0, 0), 1.0f + 1.0f / 26.0f);
    pair.field.clearCache();
    EXPECT_FLOAT_EQ(pair.field.value(-20, 30, 7),
                    1.0f / (400 + 900 + 49 + 1) + 1.0f / (529 + 676 + 49 + 1));
}

TEST(MetaballField, CacheHoldsOneValuePerCellUntilCleared) {
    TestField lone({{0, 0, 0}});
    MetaballField& field = lone.field;
    ASSERT_EQ(field.value(0, 0, 0), 1.0f);
    EXPECT_EQ(field.value(1, 1, 1), 1.0f) << "(1, 1, 1) shares cell (16, 16, 16) with the origin";
    EXPECT_EQ(computedCells(field), 1);

    // The cache, not the balls, answers until cleared: moving the ball changes nothing yet.
    lone.balls[0] = IntVec3{40, 40, 40};
    EXPECT_EQ(field.value(2, 2, 2), 1.0f);

    lone.balls[0] = IntVec3{0, 0, 0};
    field.clearCache();
    EXPECT_EQ(computedCells(field), 0);
    EXPECT_EQ(field.value(1, 1, 1), 0.25f);
    EXPECT_EQ(field.value(0, 0, 0), 0.25f);
}

TEST(MetaballField, WithoutBallsEveryPointIsOutsideAndNothingIsCached) {
    MetaballField field(0, 11, 32, kExtent, nullptr);
    for (int x = -79; x < 80; x += 7) {
        EXPECT_EQ(field.value(x, x / 2, -x), 0.0f);
        EXPECT_TRUE(field.isOutside(x, x / 2, -x));
    }
    EXPECT_EQ(computedCells(field), 0);
}

TEST(MetaballField, InterpolatedCrossingsTruncateTowardZero) {
    TestField lone({{0, 0, 0}});
    MetaballField& field = lone.field;
    // The crossing on the x axis lies near 11.55 on either side of the ball.
    EXPECT_EQ(field.interpolateEdge({10, 0, 0}, {15, 0, 0}), (IntVec3{11, 0, 0}));
    field.clearCache();
    EXPECT_EQ(field.interpolateEdge({-10, 0, 0}, {-15, 0, 0}), (IntVec3{-11, 0, 0}));
    // Walking the edge from its outside end gives the same crossing.
    field.clearCache();
    EXPECT_EQ(field.interpolateEdge({-15, 0, 0}, {-10, 0, 0}), (IntVec3{-11, 0, 0}));
    // Two ends of equal value have no crossing: the first end is kept rather than dividing by 0.
    field.clearCache();
    EXPECT_EQ(field.interpolateEdge({0, 20, 0}, {20, 0, 0}), (IntVec3{0, 20, 0}));
    // A corner outside the grid takes part with the value -1.
    TestField edge({{76, 0, 0}});
    EXPECT_EQ(edge.field.interpolateEdge({75, 0, 0}, {80, 0, 0}), (IntVec3{76, 0, 0}));
}

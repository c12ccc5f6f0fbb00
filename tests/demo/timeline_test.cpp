#include <gtest/gtest.h>

#include "demo/frame.h"

// A rule fires strictly inside its interval: a frame exactly on a boundary, in a gap or past
// the timeline keeps the scene that was on (the references never land exactly on one).
TEST(SceneTimeline, AFrameExactlyOnABoundaryOrInAGapKeepsTheSceneThatWasOn) {
    for (const float clock : {0.0f, 25.0f, 170.5f, 171.0f, 203.0f, 260.0f, 287.0f}) {
        EXPECT_EQ(chooseScene(clock, 12), 12) << clock;
    }
    EXPECT_EQ(chooseScene(25.001f, 0), 1);
}

#include <gtest/gtest.h>

#include "demo/frame.h"

TEST(SceneTimeline, RulesFireStrictlyInsideTheirIntervals) {
    EXPECT_EQ(chooseScene(0.0f, 0), 0);
    EXPECT_EQ(chooseScene(0.001f, 5), 0);
    EXPECT_EQ(chooseScene(24.999f, 0), 0);
    EXPECT_EQ(chooseScene(25.0f, 0), 0) << "exactly on a boundary keeps the previous scene";
    EXPECT_EQ(chooseScene(25.0f, 7), 7);
    EXPECT_EQ(chooseScene(25.001f, 0), 1);
    EXPECT_EQ(chooseScene(80.0f, 3), 4);
    EXPECT_EQ(chooseScene(100.0f, 4), 3);
    EXPECT_EQ(chooseScene(150.0f, 5), 6);
    EXPECT_EQ(chooseScene(259.99f, 7), 17);
    EXPECT_EQ(chooseScene(-3.0f, 9), 9);
}

TEST(SceneTimeline, GapsKeepThePreviousScene) {
    for (const float clock : {170.0f, 170.5f, 171.0f, 200.0f, 201.0f, 202.99f, 203.0f, 260.0f,
                              270.0f, 287.0f, 300.0f}) {
        EXPECT_EQ(chooseScene(clock, 8), 8) << clock;
        EXPECT_EQ(chooseScene(clock, 11), 11) << clock;
    }
}

TEST(SceneTimeline, EveryRuleSelectsItsSceneAtItsMidpoint) {
    const int expected[kSceneRuleCount] = {0, 1, 2, 4, 3, 5, 14, 6, 8, 15, 9, 11, 16, 7, 17};
    for (int rule = 0; rule < kSceneRuleCount; ++rule) {
        const SceneRule& r = SceneTimeline[rule];
        EXPECT_EQ(chooseScene((r.start + r.end) * 0.5f, -1), expected[rule]) << "rule " << rule + 1;
        EXPECT_EQ(chooseScene(r.start, -1), -1) << "start of rule " << rule + 1;
    }
}

TEST(SceneTimeline, SeekingBackFollowsTheClockOneFrameLate) {
    // The frame at 100 s has chosen scene 3; after a seek to 80 s the next frame still draws
    // scene 3 and chooses 4 for the frame after it.
    int current = chooseScene(100.0f, 0);
    EXPECT_EQ(current, 3);
    const int drawnAfterSeek = current;
    current = chooseScene(80.0f, current);
    EXPECT_EQ(drawnAfterSeek, 3);
    EXPECT_EQ(current, 4);
    // A seek from 205.5 s into the gap at 200.5 s keeps scene 11.
    EXPECT_EQ(chooseScene(200.5f, chooseScene(205.5f, 9)), 11);
}

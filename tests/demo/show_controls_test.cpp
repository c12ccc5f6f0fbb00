// The viewer's controls without a window: the frame grid, the cuts, the pause of the clock,
// the strip's mapping and the heads-up line's text.
#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "demo/heads_up.h"
#include "demo/music.h"
#include "demo/show_controls.h"

TEST(ShowControls, StepsFollowTheThirtyAFrameGridAndThirtyStepsAreOneSecond) {
    const struct {
        int clock, steps, expected;
    } cases[] = {
        {0, 1, 33},   {33, 1, 67},         {34, 1, 67},          {66, 1, 67},
        {67, -1, 33}, {68, -1, 67},        {33, -1, 0},          {0, -1, 0},
        {-5, -3, 0},  {106001, 1, 106033}, {106033, 30, 107033}, {1000, -30, 0},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(stepOnGrid(c.clock, c.steps), c.expected) << c.clock << " " << c.steps;
    }
    for (int frame = 0; frame < 9000; ++frame) { // five minutes, one step at a time
        int clock = gridFrameMs(frame);
        for (int step = 0; step < 30; ++step) {
            clock = stepOnGrid(clock, 1);
        }
        ASSERT_EQ(clock, gridFrameMs(frame) + 1000) << frame;
        ASSERT_EQ(stepOnGrid(clock, -30), gridFrameMs(frame)) << frame;
    }
}

TEST(ShowControls, CutsAreTheRuleStartsAfterTheFirstLandedJustPast) {
    const struct {
        int clock, next, previous;
    } cases[] = {
        {0, 25001, 0},
        {24999, 25001, 0},
        {25001, 50001, 0},
        {26000, 50001, 0},
        {26001, 50001, 25001},
        {170500, 171001, 156001},
        {253999, 254001, 243001},
        {254001, -1, 243001},
        {287000, -1, 254001},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(nextCutMs(c.clock), c.next) << c.clock;
        EXPECT_EQ(previousCutMs(c.clock), c.previous) << c.clock;
    }
}

// Without a track the clock is the silent real-time one: held still while paused, moved by
// seeks while held, going on from there when resumed.
TEST(ShowControls, PauseHoldsTheSilentClockAndSeeksMoveTheHeldClock) {
    using std::chrono::milliseconds;
    resetMusic();
    seekMusicTo(40000);
    EXPECT_FALSE(takeShowFrameDue());
    setShowPaused(true);
    EXPECT_TRUE(takeShowFrameDue()); // one frame at the paused clock
    const int held = showClockMs();
    std::this_thread::sleep_for(milliseconds(80));
    EXPECT_TRUE(showPaused());
    EXPECT_EQ(showClockMs(), held);
    EXPECT_GE(held, 40000);
    seekMusicTo(5000);
    std::this_thread::sleep_for(milliseconds(50));
    readMusicClock();
    EXPECT_EQ(showClockMs(), 5000);
    EXPECT_FLOAT_EQ(MusicClock, 5.0f);
    toggleShowPause();
    std::this_thread::sleep_for(milliseconds(80));
    EXPECT_FALSE(showPaused());
    EXPECT_GE(showClockMs(), 5070);
    EXPECT_LT(showClockMs(), 5600);
    resetShowControls();
    resetMusic();
}

TEST(HeadsUp, TheStripMapsTheWholeShowAndTheLineReadsAsItShould) {
    EXPECT_FLOAT_EQ(stripXOf(0.0f), kStripLeft);
    EXPECT_FLOAT_EQ(stripXOf(287.0f), kStripRight);
    EXPECT_FLOAT_EQ(stripXOf(-3.0f), kStripLeft);
    EXPECT_FLOAT_EQ(stripSecondsAt(0.0f), 0.0f);
    EXPECT_FLOAT_EQ(stripSecondsAt(640.0f), 287.0f);
    for (const float seconds : {0.5f, 25.0f, 106.033f, 286.0f}) {
        EXPECT_NEAR(stripSecondsAt(stripXOf(seconds)), seconds, 1e-3f);
    }
    const struct {
        float x, y;
        bool on;
    } points[] = {{320, 52, true}, {kStripLeft, kStripBottom - 10, true},
                  {20, 52, false}, {320, 80, false},
                  {320, 33, true}, {620, 52, false}};
    for (const auto& p : points) {
        EXPECT_EQ(onStrip(p.x, p.y), p.on) << p.x << "," << p.y;
    }
    EXPECT_EQ(headsUpText({106033, 5, 59.6f, 800, 600, true}),
              "1:46.033  5 cloud morph  60 fps  800x600  paused");
    EXPECT_EQ(headsUpText({0, 14, 0.0f, 1440, 1080, false}),
              "0:00.000  14 butterfly  -- fps  1440x1080");
    EXPECT_EQ(headsUpText({286999, 17, 30.0f, 320, 240, false}),
              "4:46.999  17 centred cloud  30 fps  320x240");
}

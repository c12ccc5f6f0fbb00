// The show run headless as the render tool runs it, in this process.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

#include "demo/frame.h"
#include "render/letterbox_band.h"
#include "render/picture_target.h"
#include "render/sprite.h"
#include "render_tool/headless_show.h"

namespace {

// Whether the open band holds a scene rather than one plain colour: some of its pixels are
// less than half as red as its reddest.
bool busyBand(const std::vector<std::uint8_t>& rgb) {
    const std::size_t first = std::size_t{kOpenPictureRows.first} * kPictureWidth * 3;
    const std::size_t end = std::size_t{kOpenPictureRows.end} * kPictureWidth * 3;
    int reddest = 0;
    for (std::size_t i = first; i < end; i += 3) {
        reddest = std::max<int>(reddest, rgb[i]);
    }
    std::size_t dark = 0;
    for (std::size_t i = first; i < end; i += 3) {
        dark += 2 * rgb[i] < reddest ? 1 : 0;
    }
    return dark * 100 > (end - first) / 3;
}

} // namespace

// A render starting at a clock in a gap of the timeline or on a boundary, where no rule fires,
// shows what a show running on from before the last rule's start shows there: that rule's scene.
// Pictures are equal exactly, except where the drifting cloud of the last scene is seen: its
// shape depends on every frame before, so both must merely show it.
TEST(HeadlessShow, AStartInTheMiddleShowsTheSceneOfTheShowRunningOn) {
    std::string error;
    ASSERT_TRUE(openHeadlessShow(false, &error)) << error;
    setSpriteDrawing(SpriteDrawing::Batched);
    struct Start {
        double clock;
        bool driftingCloudSeen;
    };
    std::vector<Start> starts = {{170.5, false}, {171.0, false}, {200.5, false}, {201.5, false},
                                 {203.0, false}, {262.0, false}, {265.0, true},  {280.5, true}};
    for (const SceneRule& rule : SceneTimeline) {
        starts.push_back({rule.end, false}); // 25 and 260 lie under black-outs
    }
    std::vector<std::uint8_t> started;
    std::vector<std::uint8_t> running;
    for (const Start& start : starts) {
        CurrentScene = 0; // as in a fresh program
        primeShowAt(start.clock);
        drawShowFrame(start.clock);
        readShowPicture(&started);
        // Three-second steps from before the last rule's start, which none of the rules beats.
        const float ruleStart = lastRuleStartedBefore(static_cast<float>(start.clock))->start;
        const int steps = static_cast<int>(std::floor((start.clock - ruleStart) / 3.0)) + 1;
        for (int step = steps; step >= 0; --step) {
            drawShowFrame(start.clock - 3.0 * step);
        }
        readShowPicture(&running);
        if (start.driftingCloudSeen) {
            EXPECT_TRUE(busyBand(started)) << start.clock;
            EXPECT_TRUE(busyBand(running)) << start.clock;
        } else {
            EXPECT_TRUE(started == running) << start.clock;
        }
    }
    closeHeadlessShow();
}

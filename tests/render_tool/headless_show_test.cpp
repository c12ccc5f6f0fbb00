// The show run headless as the render tool runs it, in this process.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "demo/frame.h"
#include "render/letterbox_band.h"
#include "render/picture_target.h"
#include "render_tool/headless_show.h"

// A render starting at a clock in a gap of the timeline or on a boundary, where no rule fires,
// shows what a show running on from before the last rule's start shows there: that rule's scene.
// Pictures are equal exactly, except where the drifting cloud of the last scene is seen (from
// 263 s): its shape depends on every frame before.
TEST(HeadlessShow, AStartInTheMiddleShowsTheSceneOfTheShowRunningOn) {
    std::string error;
    ASSERT_TRUE(openHeadlessShow(false, &error)) << error;
    std::vector<double> starts = {170.5, 171.0, 200.5, 201.5, 203.0, 262.0, 265.0, 280.5};
    for (const SceneRule& rule : SceneTimeline) {
        starts.push_back(rule.end); // 25 and 260 lie under black-outs
    }
    std::vector<std::uint8_t> started;
    std::vector<std::uint8_t> running;
    for (const double start : starts) {
        CurrentScene = 0; // as in a fresh program
        primeShowAt(start);
        drawShowFrame(start);
        readShowPicture(&started);
        const int scene = CurrentScene;
        // Three-second steps from before the last rule's start, which none of the rules beats.
        const float ruleStart = lastRuleStartedBefore(static_cast<float>(start))->start;
        for (int step = static_cast<int>(std::floor((start - ruleStart) / 3.0)) + 1; step >= 0;
             --step) {
            drawShowFrame(start - 3.0 * step);
        }
        readShowPicture(&running);
        EXPECT_EQ(CurrentScene, scene) << start;
        EXPECT_TRUE(start > 263.0 || started == running) << start;
    }
    closeHeadlessShow();
}

// At any size the rows under the letterbox may be skipped: the glow's margins grow with the
// picture, so culled frames equal full ones (also where the band's edge cuts a row in two).
TEST(HeadlessShow, CulledFramesEqualFullOnesAtOtherSizes) {
    for (const PictureSize size :
         {PictureSize{1200, 900}, PictureSize{1600, 1200}, PictureSize{3200, 2400}}) {
        ASSERT_TRUE(setPictureSize(size));
        std::string error;
        ASSERT_TRUE(openHeadlessShow(false, &error)) << error;
        std::vector<std::uint8_t> culled;
        std::vector<std::uint8_t> full;
        for (const double clock : {40.0, 95.0, 147.0, 191.5, 225.0}) {
            primeShowAt(clock);
            setLetterboxCulling(false);
            drawShowFrame(clock);
            readShowPicture(&full);
            setLetterboxCulling(true);
            drawShowFrame(clock);
            readShowPicture(&culled);
            EXPECT_EQ(full.size(), static_cast<std::size_t>(size.width) * size.height * 3);
            EXPECT_TRUE(culled == full) << size.width << "x" << size.height << " at " << clock;
        }
        closeHeadlessShow();
    }
    setPictureSize(kDefaultPictureSize);
}

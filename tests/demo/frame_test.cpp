#include <gtest/gtest.h>

#include "demo/frame.h"
#include "demo/music.h"
#include "demo/startup.h"
#include "platform/gl.h"
#include "platform/sound.h"
#include "tests/support/headless_picture.h"

namespace {

int showEndCalls = 0;
void recordShowEnd() {
    ++showEndCalls;
}

} // namespace

TEST(Frame, ClearColourIsTheOrangeBrownBackground) {
    REQUIRE_HEADLESS_GL();
    initGlState();
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    const Picture picture = readPicture();
    int off = 0;
    for (std::size_t i = 0; i < picture.rgb.size(); i += 3) {
        if (std::abs(picture.rgb[i] - 217) > 1 || std::abs(picture.rgb[i + 1] - 110) > 1 ||
            picture.rgb[i + 2] > 1) {
            ++off;
        }
    }
    EXPECT_EQ(off, 0);
}

TEST(Frame, PastTheEndTheFrameCallsTheEndHandlerOnce) {
    REQUIRE_HEADLESS_GL();
    initGlState();
    setShowEndHandler(recordShowEnd);
    soundSetOutput(kSoundOutputStepped);
    showEndCalls = 0;

    soundSetSteppedTime(287.0);
    drawFrame();
    EXPECT_FLOAT_EQ(MusicClock, 287.0f);
    EXPECT_EQ(showEndCalls, 0) << "287 s itself is not past the end";

    soundSetSteppedTime(287.001);
    drawFrame();
    EXPECT_EQ(showEndCalls, 1);
    setShowEndHandler(nullptr);
}

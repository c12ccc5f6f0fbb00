#include <gtest/gtest.h>

#include <cstdlib>

#include "demo/frame.h"
#include "demo/music.h"
#include "demo/startup.h"
#include "platform/gl.h"
#include "platform/sound.h"
#include "tests/support/headless_picture.h"

namespace {

constexpr int kBandTop = 175;
constexpr int kBandBottom = 425;

// One frame at `seconds` with no scene drawn (10 is a number without a scene), so that the
// whole band shows what the glow makes of the background.
Picture frameAt(const double seconds) {
    CurrentScene = 10;
    soundSetOutput(kSoundOutputStepped);
    soundSetSteppedTime(seconds);
    drawFrame();
    return readPicture();
}

struct BandCount {
    int black = 0;
    int glowedBackground = 0; // the orange-brown clear colour after the glow
    int litInBars = 0;
};

BandCount countPixels(const Picture& picture) {
    BandCount count;
    for (int y = 0; y < kPictureHeight; ++y) {
        const bool inBand = y >= kBandTop && y < kBandBottom;
        for (int x = 0; x < kPictureWidth; ++x) {
            const std::uint8_t* const p = picture.at(x, y);
            const bool black = (p[0] | p[1] | p[2]) == 0;
            if (!inBand) {
                count.litInBars += black ? 0 : 1;
            } else if (black) {
                ++count.black;
            } else if (p[0] == 255 && std::abs(p[1] - 200) <= 8 && p[2] == 0) {
                ++count.glowedBackground;
            }
        }
    }
    return count;
}

} // namespace

// The whole frame: clear, scene, glow, captions, black-outs and bars.
TEST(FrameGlow, OpensOnBlackThenShowsTheGlowedBackgroundBetweenTheBars) {
    REQUIRE_HEADLESS_GL();
    initGlState();
    constexpr int kBandPixels = (kBandBottom - kBandTop) * kPictureWidth;

    const BandCount atStart = countPixels(frameAt(0.0));
    EXPECT_EQ(atStart.black, kBandPixels) << "the opening black-out covers the band";
    EXPECT_EQ(atStart.litInBars, 0);

    // At 3 s the opening fade is over and no caption is up: the band shows the background
    // brightened by the glow, about (255, 200, 0).
    const BandCount later = countPixels(frameAt(3.0));
    EXPECT_EQ(later.glowedBackground, kBandPixels);
    EXPECT_EQ(later.litInBars, 0);
    GLint viewport[4];
    glGetIntegerv(GL_VIEWPORT, viewport);
    EXPECT_EQ(viewport[2], 800);
    EXPECT_EQ(viewport[3], 600);
    float colour[4];
    glGetFloatv(GL_CURRENT_COLOR, colour);
    EXPECT_EQ(colour[0], 1.0f);
    EXPECT_EQ(colour[1], 1.0f);
    EXPECT_EQ(colour[2], 1.0f);
    EXPECT_FALSE(glIsEnabled(GL_BLEND));
    EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
    CurrentScene = 0;
}

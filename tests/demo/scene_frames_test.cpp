// Whole frames of every scene of the timeline, drawn headless after the full start-up.
#include <gtest/gtest.h>

#include "demo/frame.h"
#include "demo/startup.h"
#include "platform/sound.h"
#include "tests/support/headless_picture.h"

namespace {

void drawFrameAt(const double seconds) {
    soundSetSteppedTime(seconds);
    drawFrame();
}

// Pixels of the band between the letterbox bars that differ between two pictures.
int bandDifferences(const Picture& a, const Picture& b) {
    int differing = 0;
    for (int y = 180; y < 420; ++y) {
        for (int x = 0; x < kPictureWidth; ++x) {
            const std::uint8_t* const p = a.at(x, y);
            const std::uint8_t* const q = b.at(x, y);
            if (std::abs(p[0] - q[0]) + std::abs(p[1] - q[1]) + std::abs(p[2] - q[2]) > 6) {
                ++differing;
            }
        }
    }
    return differing;
}

class SceneFrames : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        if (ensureHeadlessPicture()) {
            setShowEndHandler([] {});
            soundSetOutput(kSoundOutputStepped);
            soundSetSteppedTime(0.0);
            startDemo();
        }
    }
    static void TearDownTestSuite() { setShowEndHandler(nullptr); }
};

} // namespace

// Pixels of the band that are black: a black-out hides the scene.
int bandBlackPixels(const Picture& picture) {
    int black = 0;
    for (int y = 180; y < 420; ++y) {
        for (int x = 0; x < kPictureWidth; ++x) {
            const std::uint8_t* const p = picture.at(x, y);
            black += p[0] + p[1] + p[2] < 12 ? 1 : 0;
        }
    }
    return black;
}

// The background and captions of `clock`, with no scene drawn (10 has none).
Picture backgroundAt(const double clock) {
    CurrentScene = 10;
    drawFrameAt(clock);
    return readPicture();
}

TEST_F(SceneFrames, EverySceneDrawsInsideTheBandAndIsStableForItsClock) {
    REQUIRE_HEADLESS_GL();
    constexpr int kBandPixels = kPictureWidth * 240;
    for (const SceneRule& rule : SceneTimeline) {
        // A moment of the scene that no black-out hides.
        double clock = 0.0;
        Picture background;
        for (const double fraction : {0.4, 0.6, 0.25, 0.75, 0.1, 0.9}) {
            clock = rule.start + (rule.end - rule.start) * fraction;
            background = backgroundAt(clock);
            if (bandBlackPixels(background) < kBandPixels / 2) {
                break;
            }
        }
        ASSERT_LT(bandBlackPixels(background), kBandPixels / 2) << "scene " << rule.scene;
        ASSERT_EQ(CurrentScene, rule.scene);

        drawFrameAt(clock);
        const Picture first = readPicture();
        drawFrameAt(clock);
        const Picture second = readPicture();

        EXPECT_GT(bandDifferences(first, background), 2000)
            << "scene " << rule.scene << " at " << clock << " s draws nothing in the band";
        const bool drifts = rule.scene == 0 || rule.scene == 17;
        if (!drifts) {
            EXPECT_EQ(bandDifferences(first, second), 0)
                << "scene " << rule.scene << " changes between two frames at " << clock << " s";
        }
    }
}

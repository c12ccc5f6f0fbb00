// Every scene of the timeline drawn through the whole frame routine with glGetError after
// each step: a scene that leaves a bad enum, a stack overflow or an unbalanced glBegin/glEnd
// behind fails here by name, whatever the data folder holds.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <unistd.h>

#include "demo/frame.h"
#include "demo/startup.h"
#include "platform/gl.h"
#include "platform/sound.h"
#include "tests/support/headless_picture.h"

namespace fs = std::filesystem;

namespace {

bool showEnded = false;
void recordShowEnd() {
    showEnded = true;
}

// Every pending GL error, oldest first, as "0x0500 0x0502"; empty when there is none. The
// loop is bounded: a lost context may report an error on every call.
std::string drainGlErrors() {
    std::string errors;
    for (int i = 0; i < 16; ++i) {
        const GLenum error = glGetError();
        if (error == GL_NO_ERROR) {
            break;
        }
        char text[16];
        std::snprintf(text, sizeof(text), "0x%04X ", error);
        errors += text;
    }
    return errors;
}

// Starts the show on the stepped clock at 0 and reports any GL error of the start-up.
std::string startShowOnSteppedClock() {
    drainGlErrors();
    soundReset();
    soundSetOutput(kSoundOutputStepped);
    soundSetSteppedTime(0.0);
    setShowEndHandler(recordShowEnd);
    CurrentScene = 0;
    startDemo();
    return drainGlErrors();
}

// Draws a frame at the middle of each timeline rule (the first frame picks the scene, the
// second draws it) and records the GL errors of each, with the scene number.
void expectEveryScenesFrameClean() {
    for (const SceneRule& rule : SceneTimeline) {
        const double middle = (static_cast<double>(rule.start) + rule.end) / 2.0;
        soundSetSteppedTime(middle);
        drawFrame();
        const std::string choosing = drainGlErrors();
        drawFrame();
        const std::string drawing = drainGlErrors();
        EXPECT_EQ(CurrentScene, rule.scene) << "at " << middle << " s";
        EXPECT_EQ(choosing, "") << "frame at " << middle << " s choosing scene " << rule.scene;
        EXPECT_EQ(drawing, "") << "frame at " << middle << " s drawing scene " << rule.scene;
    }
    EXPECT_FALSE(showEnded) << "no rule lies past the end of the show";
}

// Runs `body` with the working directory at a fresh empty directory, then goes back.
template <typename Body> void inEmptyDirectory(const Body& body) {
    const fs::path previous = fs::current_path();
    const fs::path empty = fs::temp_directory_path() /
                           ("vellomire-gl-errors-" + std::to_string(static_cast<int>(getpid())));
    fs::create_directories(empty);
    fs::current_path(empty);
    body();
    fs::current_path(previous);
    fs::remove_all(empty);
}

} // namespace

TEST(GlErrors, EverySceneOfTheTimelineDrawsWithoutAGlError) {
    REQUIRE_HEADLESS_GL();
    EXPECT_EQ(startShowOnSteppedClock(), "") << "the start-up";
    expectEveryScenesFrameClean();
    setShowEndHandler(nullptr);
}

TEST(GlErrors, WithoutAnyDataFileEverySceneStillDrawsWithoutAGlError) {
    // Textures named 0, no model and no track: the paths a damaged installation takes.
    REQUIRE_HEADLESS_GL();
    inEmptyDirectory([] {
        EXPECT_EQ(startShowOnSteppedClock(), "") << "the start-up without data";
        expectEveryScenesFrameClean();
    });
    setShowEndHandler(nullptr);
}

TEST(GlErrors, StartingTheShowAgainInTheSameContextRaisesNoError) {
    // What F1 does in the window shell, minus the new context: the whole start-up again,
    // then the frames after it, including the end of the show.
    REQUIRE_HEADLESS_GL();
    EXPECT_EQ(startShowOnSteppedClock(), "") << "the first start-up";
    EXPECT_EQ(startShowOnSteppedClock(), "") << "the second start-up";
    soundSetSteppedTime(150.0);
    drawFrame();
    drawFrame();
    EXPECT_EQ(drainGlErrors(), "") << "the metaball scene after a second start-up";
    showEnded = false;
    soundSetSteppedTime(287.5);
    drawFrame();
    EXPECT_TRUE(showEnded);
    EXPECT_EQ(drainGlErrors(), "") << "the last frame";
    setShowEndHandler(nullptr);
}

TEST(GlErrors, TheContextReportsErrorsSoTheChecksAboveCanFail) {
    // A context made without error reporting would pass every check above unseen.
    REQUIRE_HEADLESS_GL();
    drainGlErrors();
    glEnable(0x7FFF);
    EXPECT_EQ(drainGlErrors(), "0x0500 ") << "an unknown capability";
    glBegin(GL_QUADS);
    glBegin(GL_QUADS);
    glEnd();
    EXPECT_EQ(drainGlErrors(), "0x0502 ") << "glBegin inside glBegin";
}

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

namespace {

// Every pending GL error, oldest first, as "0x0500 0x0502 "; empty when there is none. The
// loop is bounded: a lost context may report an error on every call.
std::string glErrors() {
    std::string errors;
    for (int n = 0; n < 16; ++n) {
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

} // namespace

TEST(GlErrors, EverySceneDrawsWithoutAGlErrorAfterAStartAndARestartWithAndWithoutData) {
    REQUIRE_HEADLESS_GL();
    glEnable(0x7FFF); // the context reports errors, or every check below would pass unseen
    EXPECT_EQ(glErrors(), "0x0500 ");
    const std::filesystem::path repository = std::filesystem::current_path();
    std::string empty = (std::filesystem::temp_directory_path() / "vellomire-gl-XXXXXX").string();
    ASSERT_NE(mkdtemp(empty.data()), nullptr);
    setShowEndHandler([] {});
    // With the data; then in an empty folder: textures named 0, no model, no track.
    for (const std::filesystem::path& folder : {repository, std::filesystem::path(empty)}) {
        std::filesystem::current_path(folder);
        soundReset();
        soundSetOutput(kSoundOutputStepped);
        soundSetSteppedTime(0.0);
        CurrentScene = 0;
        startDemo();
        startDemo(); // the whole start-up again in the same context, as after F1
        EXPECT_EQ(glErrors(), "") << "the start-up in " << folder;
        // A frame in the middle of each rule picks its scene, the next draws it.
        for (const SceneRule& rule : SceneTimeline) {
            soundSetSteppedTime((static_cast<double>(rule.start) + rule.end) / 2.0);
            drawFrame();
            drawFrame();
            EXPECT_EQ(CurrentScene, rule.scene) << rule.start << " " << folder;
            EXPECT_EQ(glErrors(), "") << "scene " << rule.scene << " in " << folder;
        }
    }
    std::filesystem::current_path(repository);
    std::filesystem::remove_all(empty);
    setShowEndHandler(nullptr);
}

// Runs the real vellomire-render program and checks what it leaves behind.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <png.h>
#include <string>
#include <vector>

#include "tests/support/run_command.h"

namespace fs = std::filesystem;

namespace {

using ToolRun = CommandRun;

// Runs the render tool with `arguments`; its standard error is collected with its output.
ToolRun runTool(const std::string& arguments) {
    std::string command = VELLOMIRE_RENDER_TOOL;
    command.append(" ").append(arguments).append(" 2>&1");
    return runCommand(command);
}

std::string runCapture(const std::string& command) {
    return runCommand(command).output;
}

struct Image {
    unsigned width = 0;
    unsigned height = 0;
    std::vector<unsigned char> rgb;
};

Image readPng(const fs::path& path) {
    Image result;
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (png_image_begin_read_from_file(&image, path.c_str()) == 0) {
        return result;
    }
    image.format = PNG_FORMAT_RGB;
    result.rgb.resize(PNG_IMAGE_SIZE(image));
    if (png_image_finish_read(&image, nullptr, result.rgb.data(), 0, nullptr) != 0) {
        result.width = image.width;
        result.height = image.height;
    }
    return result;
}

std::string readFile(const fs::path& path) {
    std::ifstream file(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

class RenderToolRun : public ::testing::Test {
  protected:
    void SetUp() override {
        const std::string name = ::testing::UnitTest::GetInstance()->current_test_info()->name();
        directory = fs::temp_directory_path() / ("vellomire-render-test-" + name);
        fs::remove_all(directory);
        fs::create_directories(directory);
    }
    void TearDown() override { fs::remove_all(directory); }
    fs::path directory;
};

} // namespace

TEST_F(RenderToolRun, ASpanOfFramesIsDeterministicAndComplete) {
    const std::string first = (directory / "a").string() + "/";
    const std::string second = (directory / "b").string() + "/";
    ASSERT_EQ(runTool("--from 20 --to 20.2 --fps 10 --out " + first).status, 0);
    ASSERT_EQ(runTool("--from 20 --to 20.2 --fps 10 --out " + second).status, 0);
    for (const char* name : {"frame_000001.png", "frame_000002.png"}) {
        const Image image = readPng(fs::path(first) / name);
        EXPECT_EQ(image.width, 800u) << name;
        EXPECT_EQ(image.height, 600u) << name;
        EXPECT_EQ(readFile(fs::path(first) / name), readFile(fs::path(second) / name)) << name;
    }
    EXPECT_FALSE(fs::exists(fs::path(first) / "frame_000003.png"));
    for (const auto& entry : fs::directory_iterator(first)) {
        EXPECT_EQ(entry.path().extension(), ".png") << "leftover " << entry.path();
    }
}

TEST_F(RenderToolRun, AVideoHasTheFramesTheDurationAndTheMusic) {
    const fs::path video = directory / "clip.mp4";
    const ToolRun run = runTool("--from 80 --to 81 --fps 12 --out " + video.string());
    ASSERT_EQ(run.status, 0) << run.output;
    ASSERT_TRUE(fs::exists(video));
    const std::string probe =
        runCapture("ffprobe -v error -count_frames -show_entries stream=codec_type,nb_read_frames "
                   "-show_entries format=duration -of default=noprint_wrappers=1 " +
                   video.string());
    EXPECT_NE(probe.find("codec_type=video"), std::string::npos) << probe;
    EXPECT_NE(probe.find("nb_read_frames=12"), std::string::npos) << probe;
    const std::size_t at = probe.find("duration=");
    ASSERT_NE(at, std::string::npos) << probe;
    EXPECT_NEAR(std::atof(probe.c_str() + at + 9), 1.0, 0.1) << probe;
    if (fs::exists("data/music/track.mp3")) {
        EXPECT_NE(probe.find("codec_type=audio"), std::string::npos) << probe;
    }
}

TEST_F(RenderToolRun, BadArgumentsFailWithAMessageAndLeaveNoFile) {
    const fs::path png = directory / "frame.png";
    const std::vector<std::string> bad = {
        "--at 300 --out " + png.string(),
        "--from 5 --to 4 --out " + (directory / "d").string() + "/",
        "--fps 500 --out " + (directory / "v.mp4").string(),
        "--wobble",
        "--at 10 --out /nonexistent-directory/frame.png",
    };
    for (const std::string& arguments : bad) {
        const ToolRun run = runTool(arguments);
        EXPECT_NE(run.status, 0) << arguments;
        EXPECT_NE(run.output.find("vellomire-render:"), std::string::npos) << arguments;
    }
    EXPECT_TRUE(fs::is_empty(directory));
}

TEST_F(RenderToolRun, MissingFfmpegIsReportedBeforeAnyFrame) {
    const fs::path video = directory / "v.mp4";
    const std::string command = "env PATH=/nonexistent " + std::string(VELLOMIRE_RENDER_TOOL) +
                                " --from 0 --to 1 --out " + video.string() + " 2>&1";
    const std::string output = runCapture(command);
    EXPECT_NE(output.find("ffmpeg"), std::string::npos) << output;
    EXPECT_FALSE(fs::exists(video));
}

TEST_F(RenderToolRun, AFrameAtABlackOutIsBlackAndAFrameOfAParticleSceneIsNot) {
    const fs::path blackOut = directory / "blackout.png";
    const fs::path scene = directory / "scene.png";
    ASSERT_EQ(runTool("--at 0.5 --out " + blackOut.string()).status, 0);
    ASSERT_EQ(runTool("--at 148 --out " + scene.string()).status, 0);
    const Image dark = readPng(blackOut);
    const Image lit = readPng(scene);
    ASSERT_EQ(dark.width, 800u);
    ASSERT_EQ(lit.width, 800u);
    std::size_t darkSum = 0;
    std::size_t litSum = 0;
    for (std::size_t i = 0; i < dark.rgb.size(); ++i) {
        darkSum += dark.rgb[i];
        litSum += lit.rgb[i];
    }
    EXPECT_EQ(darkSum, 0u) << "the opening black-out covers the whole picture";
    EXPECT_GT(litSum, dark.rgb.size() * 40) << "the metaball scene shows between the bars";
}

// Runs the real vellomire-render program and checks what it leaves behind.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "bench/measures/picture_measures.h"
#include "render_tool/render_options.h"
#include "tests/support/run_command.h"

namespace fs = std::filesystem;

namespace {

// A PNG file's pixels; none when it cannot be read.
RgbPicture png(const std::string& path) {
    RgbPicture picture;
    readRgbPng(path, &picture);
    return picture;
}

RenderOptions parse(std::vector<const char*> args) {
    args.insert(args.begin(), "vellomire-render");
    RenderOptions options;
    std::string error;
    EXPECT_TRUE(parseRenderOptions(static_cast<int>(args.size()), args.data(), &options, &error))
        << error;
    return options;
}

class RenderTool : public ::testing::Test {
  protected:
    void SetUp() override {
        std::string name = (fs::temp_directory_path() / "vellomire-render-XXXXXX").string();
        ASSERT_NE(mkdtemp(name.data()), nullptr);
        directory = name;
        out = name + "/";
    }
    void TearDown() override { fs::remove_all(directory); }
    // The program with `arguments`, started by `prefix`; its standard error with its output.
    static CommandRun run(const std::string& arguments, const std::string& prefix = "") {
        return runCommand(prefix + VELLOMIRE_RENDER_TOOL + " " + arguments + " 2>&1");
    }
    fs::path directory;
    std::string out; // the directory, ending in /
};

} // namespace

TEST(RenderOptions, ModesAndDefaultsFollowTheArguments) {
    EXPECT_EQ(parse({"--at", "287", "--out", "a.png"}).mode, RenderMode::Frame);
    const RenderOptions video = parse({"--out", "show.mp4"});
    EXPECT_EQ(video.mode, RenderMode::Video);
    EXPECT_EQ(sequenceFrameCount(video), 8610) << "the whole show at 30 fps";
    EXPECT_EQ(parse({"--bench", "--bench-frames", "3"}).benchFrames, 3);
    EXPECT_EQ(parse({}).mode, RenderMode::Help);
    EXPECT_EQ(parse({"--version", "--at", "x"}).mode, RenderMode::Version);
    // A span's frames cover it, without an extra frame.
    for (const auto& [to, fps, frames] :
         {std::tuple{"10.5", "30", 15}, std::tuple{"10.51", "30", 16}, std::tuple{"10.01", "1", 1},
          std::tuple{"11", "240", 240}}) {
        EXPECT_EQ(
            sequenceFrameCount(parse({"--from", "10", "--to", to, "--fps", fps, "--out", "d/"})),
            frames)
            << to << " " << fps;
    }
}

TEST_F(RenderTool, BadArgumentsFailWithTheirMessageAndLeaveNoFile) {
    const struct {
        std::string arguments;
        int status;
        const char* message;
    } bad[] = {
        {"--at 287.5 --out " + out + "a.png", 2, "--at must lie between 0 and 287"},
        {"--at ten --out " + out + "a.png", 2, "--at needs a number"},
        {"--at 10 --out " + out + "a.jpg", 2, "a single frame is written as PNG"},
        {"--at 10", 2, "--out is missing"},
        {"--at 10 --from 9 --out " + out + "a.png", 2, "--at takes no --from"},
        {"--from 10 --to 10 --out " + out + "s/", 2, "the span from --from to --to is empty"},
        {"--to 300 --out " + out + "s/", 2, "--from and --to must lie between 0 and 287"},
        {"--to 1 --fps 0 --out " + out + "s/", 2, "--fps needs a whole number"},
        {"--to 1 --fps 241 --out " + out + "s/", 2, "--fps must be a whole number from 1 to 240"},
        {"--to 1 --out " + out + "frames", 2, "--out must be a directory ending in /"},
        {"--frobnicate", 2, "unknown option --frobnicate"},
        {"--bench --out " + out + "x.png", 2, "--bench draws no output"},
        {"--bench --frame 1920x1080", 2, "--bench draws no output"},
        {"--bench --from 10", 2, "--bench times every scene at its own clocks"},
        {"--bench --to 20 --fps 10", 2, "--bench times every scene at its own clocks"},
        {"--bench --check-gl", 2, "--bench does not check for GL errors"},
        {"--at 1 --csv --out " + out + "a.png", 2, "--csv and --bench-frames only go with"},
        {"--to 1 --bench-frames 4 --out " + out + "s/", 2, "--csv and --bench-frames only go"},
        {"--at 1 --size 1000 --out " + out + "a.png", 2, "--size takes WxH in 4:3"},
        {"--at 1 --size 1080 --frame 1920x1079 --out " + out + "a.png", 2,
         "--frame must be at least as large as the picture (1440x1080)"},
        {"--to 1 --size 240 --frame 321x240 --out " + out + "v.mp4", 2,
         "a video's frame needs even sides"},
        {"--at 1 --out " + out + "a.png --data", 2, "--data needs a folder"},
        {"--at 1 --out " + out + "a.png --data /no/such/folder", 2,
         "--data /no/such/folder: no such folder"},
        {"--at 1 --out " + out + "a.png --data /", 2,
         "--data /: the folder holds none of the show's files"},
        {"--at 10 --out /nonexistent-directory/frame.png", 1, "cannot write"},
        {"--to 1 --out " + out + "v.mp4", 1, "ffmpeg is not installed"},
    };
    for (const auto& b : bad) {
        const CommandRun r = run(b.arguments, "env PATH=/nonexistent "); // no ffmpeg to be found
        EXPECT_EQ(r.status, b.status) << b.arguments;
        EXPECT_NE(r.output.find(std::string("vellomire-render: ") + b.message), std::string::npos)
            << b.arguments << "\n"
            << r.output;
    }
    EXPECT_TRUE(fs::is_empty(directory));
}

TEST_F(RenderTool, ASpanHasEveryFrameNumberedUprightAndAsTheFrameAtItsClock) {
    ASSERT_EQ(run("--from 148 --to 148.2 --fps 10 --out " + out + "span/").status, 0);
    EXPECT_EQ(std::distance(fs::directory_iterator(directory / "span"), {}), 2);
    for (const auto& [n, clock] : {std::pair{1, "148"}, std::pair{2, "148.1"}}) {
        ASSERT_EQ(run("--at " + std::string(clock) + " --out " + out + "at.png").status, 0);
        const RgbPicture picture = png(out + "span/frame_00000" + std::to_string(n) + ".png");
        ASSERT_EQ(picture.width, 800) << "frame " << n;
        EXPECT_TRUE(picture.rgb == png(out + "at.png").rgb) << "frame " << n;
        const std::vector<std::uint8_t>& frame = picture.rgb;
        // Upright: the caption's dark letters in the right half of the open band's top rows.
        const auto dark = [&frame](const int top, const int bottom) {
            int count = 0;
            for (int i = (top * 800 + 400) * 3; i < bottom * 800 * 3; i += 3) {
                count += i / 3 % 800 >= 400 && frame[i] < 100 ? 1 : 0;
            }
            return count;
        };
        EXPECT_GT(dark(200, 330), 0) << "frame " << n;
        EXPECT_EQ(dark(330, 425), 0) << "frame " << n;
    }
}

// The detail measure counts only what lies inside the rows it is given: a flat band between
// black bars has none, whatever the bars' edges.
TEST(PictureMeasures, DetailIsMeasuredStrictlyInsideTheRows) {
    RgbPicture picture{6, 8, std::vector<std::uint8_t>(6 * 8 * 3, 0)};
    for (int i = 2 * 6 * 3; i < 6 * 6 * 3; ++i) {
        picture.rgb[i] = 120; // rows 2 to 5 grey, the rest black
    }
    EXPECT_EQ(meanAbsoluteLaplacian(picture, 2, 6), 0.0);
    // A pixel 40 grey levels brighter in row 3: the 8 pixels of rows 3 and 4 count, among them
    // it and three of its neighbours (the fourth lies in row 2).
    picture.rgb[(3 * 6 + 2) * 3] = 240;
    EXPECT_NEAR(meanAbsoluteLaplacian(picture, 2, 6), (4 * 40 + 3 * 40) / 8.0, 1e-9);
}

// Drawn at twice the size, the show looks the same box-filtered back to 800 x 600; inside the
// open band it has more fine detail than the 800 x 600 frame scaled up, and nearly as much as
// a frame drawn at twice its size and box-filtered to it (what its content allows); in a wider
// frame it is centred on black.
TEST_F(RenderTool, LargerPicturesAreTheSameShowSharperAndFramesCentreThem) {
    for (const char* clock : {"40", "147", "225", "257"}) {
        const std::string at = std::string("--at ") + clock + " --out " + out;
        ASSERT_EQ(run(at + "small.png").status, 0);
        ASSERT_EQ(run(at + "large.png --size 1600x1200").status, 0);
        ASSERT_EQ(run(at + "double.png --size 3200x2400").status, 0);
        const RgbPicture small = png(out + "small.png");
        const RgbPicture large = png(out + "large.png");
        const RgbPicture twice = png(out + "double.png");
        ASSERT_TRUE(small.width == 800 && large.width == 1600 && twice.width == 3200);
        const Likeness likeness = compareLikeness(boxFilterDown(large, 2), small);
        EXPECT_LE(likeness.meanLevels, 4.0) << clock;
        EXPECT_LE(likeness.worstBlockLevels, 32.0) << clock;
        // Rows 350 to 849 of 1200 are the open band.
        const double detail = meanAbsoluteLaplacian(large, 350, 850);
        const double scaled = meanAbsoluteLaplacian(scaleUpBilinear(small, 1600, 1200), 350, 850);
        const double supersampled = meanAbsoluteLaplacian(boxFilterDown(twice, 2), 350, 850);
        std::printf(
            "%s s: detail %.3f, %.2fx the scaled-up frame's, %.2fx the supersampled one's\n", clock,
            detail, detail / scaled, detail / supersampled);
        EXPECT_GE(detail, 1.1 * scaled) << clock;
        EXPECT_GE(detail, 0.85 * supersampled) << clock;
    }
    ASSERT_EQ(run("--at 147 --size 1080 --out " + out + "picture.png").status, 0);
    ASSERT_EQ(run("--at 147 --size 1080 --frame 1920x1080 --out " + out + "frame.png").status, 0);
    const RgbPicture picture = png(out + "picture.png");
    const RgbPicture frame = png(out + "frame.png");
    ASSERT_TRUE(picture.width == 1440 && frame.width == 1920 && frame.height == 1080);
    for (int y = 0; y < 1080; ++y) {
        const auto row = frame.rgb.begin() + y * 1920 * 3;
        ASSERT_TRUE(std::equal(row + 240 * 3, row + 1680 * 3, picture.rgb.begin() + y * 1440 * 3))
            << "row " << y;
        ASSERT_TRUE(std::all_of(row, row + 240 * 3, [](int v) { return v == 0; }) &&
                    std::all_of(row + 1680 * 3, row + 1920 * 3, [](int v) { return v == 0; }))
            << "row " << y;
    }
}

TEST_F(RenderTool, AVideoHasTheFramesTheDurationAndTheMusic) {
    const std::string video = out + "clip.mp4";
    const CommandRun r = run("--from 80 --to 81 --fps 12 --out " + video);
    ASSERT_EQ(r.status, 0) << r.output;
    const std::string probe =
        runCommand("ffprobe -v error -count_frames -show_entries stream=codec_type,nb_read_frames "
                   "-show_entries format=duration -of default=noprint_wrappers=1 " +
                   video)
            .output;
    EXPECT_NE(probe.find("codec_type=video\nnb_read_frames=12"), std::string::npos) << probe;
    EXPECT_NE(probe.find("codec_type=audio"), std::string::npos) << probe;
    const std::size_t at = probe.find("duration=");
    ASSERT_NE(at, std::string::npos) << probe;
    EXPECT_NEAR(std::atof(probe.c_str() + at + 9), 1.0, 0.1) << probe;
}

TEST_F(RenderTool, EveryDamageToEveryDataFileStillRendersAndExitsZero) {
    const char* const files[] = {"music/track.mp3", "textures/particle.png",
                                 "textures/butterfly.png", "textures/font.png", "3d/torus.obj"};
    void (*const damages[])(const fs::path&) = {
        [](const fs::path& f) { fs::remove(f); },
        [](const fs::path& f) { fs::resize_file(f, 0); },
        [](const fs::path& f) { fs::resize_file(f, fs::file_size(f) / 2); },
        [](const fs::path& f) {
            std::string bytes(fs::file_size(f), '\0');
            std::mt19937 random(1234);
            std::generate(bytes.begin(), bytes.end(), [&] { return static_cast<char>(random()); });
            std::ofstream(f, std::ios::binary) << bytes;
        },
        [](const fs::path& f) { fs::remove(f) && fs::create_directory(f); },
        [](const fs::path& f) { fs::permissions(f, fs::perms::none); },
    };
    // As many runs as damages: in each, every file damaged another way.
    for (std::size_t n = 0; n < std::size(damages); ++n) {
        const fs::path root = directory / std::to_string(n);
        fs::create_directories(root);
        fs::copy("data", root / "data", fs::copy_options::recursive);
        for (std::size_t f = 0; f < std::size(files); ++f) {
            damages[(n + f) % std::size(damages)](root / "data" / files[f]);
        }
        const CommandRun r = run("--at 130 --data " + root.string() + " --out out.png",
                                 "cd '" + directory.string() + "' && ");
        EXPECT_EQ(r.status, 0) << "run " << n << "\n" << r.output;
        EXPECT_TRUE(fs::exists(directory / "out.png")) << "run " << n;
        fs::remove(directory / "out.png");
        // The file removed and the one made a folder are named, with their paths, in one line.
        const std::size_t line = r.output.find("vellomire-render: cannot read the show's files ");
        ASSERT_NE(line, std::string::npos) << "run " << n << "\n" << r.output;
        const std::string names = r.output.substr(line, r.output.find('\n', line) - line);
        for (std::size_t f = 0; f < std::size(files); ++f) {
            const std::size_t damage = (n + f) % std::size(damages);
            if (damage == 0 || damage == 4) {
                EXPECT_NE(names.find((root / "data" / files[f]).string()), std::string::npos)
                    << "run " << n << ": " << names;
            }
        }
    }
}

// A folder the user names is used whatever it holds, and refused when it holds nothing; a
// folder found by itself counts only with the whole set, so a stray file in the working
// directory does not shadow the show's data. Missing larger textures are named once each.
TEST_F(RenderTool, TheDataFolderNamedIsUsedOrRefusedAndAPartialOneIsPassedOver) {
    ASSERT_EQ(run("--at 147 --out " + out + "reference.png").status, 0);
    // The program installed in a prefix whose share/vellomire/data is the show's, started from
    // a folder holding only the font.
    fs::create_directories(directory / "prefix/bin");
    fs::create_directories(directory / "prefix/share/vellomire");
    fs::copy_file(VELLOMIRE_RENDER_TOOL, directory / "prefix/bin/vellomire-render");
    fs::create_directory_symlink(fs::absolute("data"), directory / "prefix/share/vellomire/data");
    fs::create_directories(directory / "partial/data/textures");
    fs::copy_file("data/textures/font.png", directory / "partial/data/textures/font.png");
    const CommandRun partial = runCommand("cd '" + (directory / "partial").string() + "' && " +
                                          (directory / "prefix/bin/vellomire-render").string() +
                                          " --at 147 --out ../partial.png 2>&1");
    EXPECT_EQ(partial.status, 0);
    EXPECT_EQ(partial.output, "");
    const RgbPicture reference = png(out + "reference.png");
    ASSERT_EQ(reference.width, 800);
    EXPECT_TRUE(png(out + "partial.png").rgb == reference.rgb)
        << "the partial folder shadowed the data";

    const CommandRun refused =
        run("--at 147 --out " + out + "x.png", "VELLOMIRE_DATA=/no/such/folder ");
    EXPECT_EQ(refused.status, 2);
    EXPECT_EQ(refused.output, "vellomire-render: VELLOMIRE_DATA=/no/such/folder: no such folder\n");

    fs::create_directories(directory / "model/data/3d");
    fs::copy_file("data/3d/torus.obj", directory / "model/data/3d/torus.obj");
    const CommandRun large = run("--at 147 --size 1080 --out " + out + "large.png --data " +
                                 (directory / "model").string());
    EXPECT_EQ(large.status, 0);
    const std::string textures = (directory / "model/data/textures/").string();
    EXPECT_EQ(large.output, "vellomire-render: cannot read the show's files " +
                                (directory / "model/data/music/track.mp3").string() + ", " +
                                textures + "particle.png, " + textures + "butterfly.png, " +
                                textures + "font.png\ncannot load " + textures +
                                "particle-2x.png\ncannot load " + textures +
                                "butterfly-2x.png\ncannot load " + textures +
                                "font-4x.png\nError!\nFile Not Found\n");
}

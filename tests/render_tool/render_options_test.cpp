#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "render_tool/render_options.h"

namespace {

struct Parsed {
    bool ok;
    RenderOptions options;
    std::string error;
};

Parsed parse(std::vector<const char*> args) {
    args.insert(args.begin(), "vellomire-render");
    Parsed parsed{};
    parsed.ok = parseRenderOptions(static_cast<int>(args.size()), args.data(), &parsed.options,
                                   &parsed.error);
    return parsed;
}

} // namespace

TEST(RenderOptions, ModesFollowTheOutput) {
    const Parsed frame = parse({"--at", "12.5", "--data", "/opt/show", "--out", "a.png"});
    ASSERT_TRUE(frame.ok) << frame.error;
    EXPECT_EQ(frame.options.mode, RenderMode::Frame);
    EXPECT_DOUBLE_EQ(frame.options.at, 12.5);
    EXPECT_EQ(frame.options.data, "/opt/show");

    const Parsed frames = parse({"--from", "1", "--to", "2", "--fps", "24", "--out", "dir/"});
    ASSERT_TRUE(frames.ok) << frames.error;
    EXPECT_EQ(frames.options.mode, RenderMode::Sequence);
    EXPECT_EQ(sequenceFrameCount(frames.options), 24);

    const Parsed video = parse({"--out", "show.mp4"});
    ASSERT_TRUE(video.ok) << video.error;
    EXPECT_EQ(video.options.mode, RenderMode::Video);
    EXPECT_DOUBLE_EQ(video.options.from, 0.0);
    EXPECT_DOUBLE_EQ(video.options.to, 287.0);
    EXPECT_EQ(video.options.fps, 30);
    EXPECT_EQ(sequenceFrameCount(video.options), 8610);

    const Parsed bench = parse({"--bench", "--csv", "--sprites", "literal"});
    ASSERT_TRUE(bench.ok) << bench.error;
    EXPECT_EQ(bench.options.mode, RenderMode::Bench);
    EXPECT_TRUE(bench.options.csv);
    EXPECT_EQ(bench.options.sprites, SpritePath::Literal);

    EXPECT_EQ(parse({}).options.mode, RenderMode::Help);
    EXPECT_EQ(parse({"--help"}).options.mode, RenderMode::Help);
    EXPECT_EQ(parse({"--version", "--at", "x"}).options.mode, RenderMode::Version);
}

TEST(RenderOptions, BadArgumentsAreRefusedWithAMessage) {
    const std::vector<std::vector<const char*>> bad = {
        {"--at", "-1", "--out", "a.png"},
        {"--at", "287.5", "--out", "a.png"},
        {"--at", "ten", "--out", "a.png"},
        {"--at", "10", "--out", "a.jpg"},
        {"--at", "10"},
        {"--from", "20", "--to", "10", "--out", "d/"},
        {"--from", "10", "--to", "10", "--out", "d/"},
        {"--from", "0", "--to", "300", "--out", "d/"},
        {"--fps", "0", "--out", "d/"},
        {"--fps", "241", "--out", "d/"},
        {"--fps", "29.97", "--out", "d/"},
        {"--out", "frames"},
        {"--frobnicate"},
        {"--sprites", "fast", "--bench"},
        {"--bench", "--out", "x.png"},
        {"--out"},
        {"--at", "1", "--out", "a.png", "--data"},
    };
    for (const auto& args : bad) {
        const Parsed parsed = parse(args);
        EXPECT_FALSE(parsed.ok) << args[0];
        EXPECT_FALSE(parsed.error.empty()) << args[0];
    }
}

TEST(RenderOptions, FrameCountCoversTheSpanWithoutAnExtraFrame) {
    RenderOptions options;
    options.from = 10.0;
    options.to = 10.5;
    options.fps = 30;
    EXPECT_EQ(sequenceFrameCount(options), 15);
    options.to = 10.51;
    EXPECT_EQ(sequenceFrameCount(options), 16);
    options.to = 10.01;
    options.fps = 1;
    EXPECT_EQ(sequenceFrameCount(options), 1);
}

#include "render_tool/render_options.h"

#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <cstring>

const char* renderUsage() {
    return "usage: vellomire-render [options]\n"
           "Runs the show headless on a clock it steps itself and saves what it draws.\n"
           "\n"
           "  --at SECONDS --out FRAME.png      one frame at that clock\n"
           "  --from A --to B --fps N --out DIR/  numbered PNG frames from A up to B\n"
           "  --from A --to B --fps N --out SHOW.mp4\n"
           "                                    H.264 video with the music (needs ffmpeg)\n"
           "  --bench [--csv] [--bench-frames N] frame times per scene of the timeline (at\n"
           "                                    the --size given)\n"
           "  --size WxH | --size HEIGHT        the picture's size, 4:3 from 320x240 to\n"
           "                                    3840x2880 (default 800x600; 1080 = 1440x1080)\n"
           "  --frame WxH                       saves frames of that size with the picture\n"
           "                                    centred on black (1920x1080 for 1080p video)\n"
           "  --hud                             the heads-up line (clock, scene, timeline)\n"
           "                                    in the bottom bar of every frame\n"
           "  --check-gl                        check for GL errors after every pass\n"
           "  --data DIR                        read the show's files from DIR/data/\n"
           "  --version                         the version\n"
           "  --help                            this text\n"
           "\n"
           "Clocks are seconds of music from 0 to 287; --from defaults to 0, --to to 287,\n"
           "--fps to 30 (1 to 240). Output paths are relative to the working directory.\n"
           "The show's files (data/music/track.mp3 and the rest) are read below --data DIR,\n"
           "or else $VELLOMIRE_DATA, which must hold at least one of them (exit status 2 if\n"
           "not); without either, below the first folder holding them all among: the\n"
           "working directory, the program's folder and up to three folders above it, then\n"
           "<prefix>/share/vellomire. Without them a warning names where they were looked\n"
           "for and the show is drawn without them.\n"
           "\n"
           "A render that starts in the middle (--at, --from) shows the scene a viewer of\n"
           "the show sees at that time, also where the previous scene stays on (170-171,\n"
           "200-203, from 260). The clouds of the first scene (to 25) and the last one\n"
           "(from 254) drift a little with every frame drawn: such a render starts them\n"
           "undrifted, as at the start of the show, so their shape differs from a render\n"
           "from 0, while their place, turn and the rest of the picture are the same.\n";
}

static bool parseNumber(const char* text, double* value) {
    if (text == nullptr || *text == '\0') {
        return false;
    }
    char* end = nullptr;
    errno = 0;
    const double parsed = std::strtod(text, &end);
    if (errno != 0 || *end != '\0' || !std::isfinite(parsed)) {
        return false;
    }
    *value = parsed;
    return true;
}

static bool endsWith(const std::string& text, const char* suffix) {
    const std::size_t length = std::strlen(suffix);
    return text.size() >= length && text.compare(text.size() - length, length, suffix) == 0;
}

// Reads "WxH" with both numbers from 1 up to the largest frame.
static bool parseFrameSize(const char* const text, int* const width, int* const height) {
    int w = 0;
    int h = 0;
    if (!parseDimensions(text, &w, &h) || w < 1 || h < 1 || w > kLargestFrameWidth ||
        h > kLargestFrameHeight) {
        return false;
    }
    *width = w;
    *height = h;
    return true;
}

// The frame holds the picture; a video's frame has even sides (H.264 in 4:2:0 needs them).
static bool checkFrame(const RenderOptions& o, std::string* const error) {
    const int width = savedFrameWidth(o);
    const int height = savedFrameHeight(o);
    if (width < o.size.width || height < o.size.height) {
        *error = "--frame must be at least as large as the picture (" +
                 std::to_string(o.size.width) + "x" + std::to_string(o.size.height) + ")";
        return false;
    }
    if (o.mode == RenderMode::Video && (width % 2 != 0 || height % 2 != 0)) {
        *error = "a video's frame needs even sides: give --frame with even numbers";
        return false;
    }
    return true;
}

static bool inShow(const double clock) {
    return clock >= 0.0 && clock <= kShowLength;
}

// Decides the mode from what was given and checks the values against it.
// Every option given must be one the mode uses: one that would be ignored is refused.
static bool resolveMode(RenderOptions* const o, const bool haveAt, const bool haveSpan,
                        const bool bench, const bool haveBenchOption, std::string* const error) {
    if (bench) {
        if (haveAt || !o->out.empty() || o->frameWidth != 0) {
            *error = "--bench draws no output: leave out --at, --out and --frame";
            return false;
        }
        if (haveSpan) {
            *error = "--bench times every scene at its own clocks: leave out --from, --to and "
                     "--fps";
            return false;
        }
        if (o->checkGlErrors) {
            *error = "--bench does not check for GL errors: leave out --check-gl";
            return false;
        }
        if (o->headsUp) {
            *error = "--bench draws no heads-up line: leave out --hud";
            return false;
        }
        o->mode = RenderMode::Bench;
        return true;
    }
    if (haveBenchOption) {
        *error = "--csv and --bench-frames only go with --bench";
        return false;
    }
    if (o->out.empty()) {
        *error = "--out is missing (a .png file, a directory ending in /, or a .mp4 file)";
        return false;
    }
    if (haveAt) {
        if (haveSpan) {
            *error = "--at takes no --from, --to or --fps";
            return false;
        }
        if (!inShow(o->at)) {
            *error = "--at must lie between 0 and 287 seconds";
            return false;
        }
        if (!endsWith(o->out, ".png")) {
            *error = "a single frame is written as PNG: --out must end in .png";
            return false;
        }
        o->mode = RenderMode::Frame;
        return checkFrame(*o, error);
    }
    if (!inShow(o->from) || !inShow(o->to)) {
        *error = "--from and --to must lie between 0 and 287 seconds";
        return false;
    }
    if (o->fps < 1 || o->fps > 240) {
        *error = "--fps must be a whole number from 1 to 240";
        return false;
    }
    if (!(o->from < o->to) || sequenceFrameCount(*o) < 1) {
        *error = "the span from --from to --to is empty or reversed";
        return false;
    }
    if (endsWith(o->out, ".mp4")) {
        o->mode = RenderMode::Video;
    } else if (endsWith(o->out, "/")) {
        o->mode = RenderMode::Sequence;
    } else {
        *error = "--out must be a directory ending in / or a file ending in .mp4 for a span";
        return false;
    }
    return checkFrame(*o, error);
}

bool parseRenderOptions(const int argc, const char* const* const argv, RenderOptions* const options,
                        std::string* const error) {
    RenderOptions o;
    bool haveAt = false;
    bool haveSpan = false;
    bool bench = false;
    bool haveBenchOption = false; // --csv or --bench-frames
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        const char* const value = i + 1 < argc ? argv[i + 1] : nullptr;
        double number = 0.0;
        if (arg == "--help" || arg == "-h" || arg == "--version") {
            *options = RenderOptions{};
            options->mode = arg == "--version" ? RenderMode::Version : RenderMode::Help;
            return true;
        } else if (arg == "--bench") {
            bench = true;
        } else if (arg == "--csv") {
            o.csv = true;
            haveBenchOption = true;
        } else if (arg == "--check-gl") {
            o.checkGlErrors = true;
        } else if (arg == "--hud") {
            o.headsUp = true;
        } else if (arg == "--at" || arg == "--from" || arg == "--to" || arg == "--fps" ||
                   arg == "--bench-frames") {
            if (!parseNumber(value, &number)) {
                *error = arg + " needs a number";
                return false;
            }
            ++i;
            if (arg == "--at") {
                o.at = number;
                haveAt = true;
            } else if (arg == "--from") {
                o.from = number;
                haveSpan = true;
            } else if (arg == "--to") {
                o.to = number;
                haveSpan = true;
            } else if (number != std::floor(number) || number < 1 || number > 100000) {
                *error = arg + " needs a whole number";
                return false;
            } else if (arg == "--fps") {
                o.fps = static_cast<int>(number);
                haveSpan = true;
            } else {
                o.benchFrames = static_cast<int>(number);
                haveBenchOption = true;
            }
        } else if (arg == "--out") {
            if (value == nullptr || *value == '\0') {
                *error = "--out needs a path";
                return false;
            }
            o.out = value;
            ++i;
        } else if (arg == "--data") {
            if (value == nullptr || *value == '\0') {
                *error = "--data needs a folder";
                return false;
            }
            o.data = value;
            ++i;
        } else if (arg == "--size") {
            if (!parsePictureSize(value, &o.size)) {
                *error = "--size takes WxH in 4:3 from 320x240 to 3840x2880, or a height "
                         "such as 1080";
                return false;
            }
            ++i;
        } else if (arg == "--frame") {
            if (!parseFrameSize(value, &o.frameWidth, &o.frameHeight)) {
                *error = "--frame takes WxH, at most 7680x4320";
                return false;
            }
            ++i;
        } else {
            *error = "unknown option " + arg + " (see --help)";
            return false;
        }
    }
    if (argc <= 1) {
        *options = RenderOptions{};
        return true;
    }
    if (!resolveMode(&o, haveAt, haveSpan, bench, haveBenchOption, error)) {
        return false;
    }
    *options = o;
    return true;
}

int savedFrameWidth(const RenderOptions& options) {
    return options.frameWidth != 0 ? options.frameWidth : options.size.width;
}

int savedFrameHeight(const RenderOptions& options) {
    return options.frameWidth != 0 ? options.frameHeight : options.size.height;
}

int sequenceFrameCount(const RenderOptions& options) {
    const double frames = std::ceil((options.to - options.from) * options.fps - 1e-9);
    return frames > 0.0 ? static_cast<int>(frames) : 0;
}

// vellomire-render: the show without a display. Draws frames on a clock it steps itself and
// saves them as PNG files or as a video with the music, or times every scene.
#include <csignal>
#include <cstdio>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

#include "platform/data_root.h"
#include "platform/gl.h"
#include "render_tool/bench.h"
#include "render_tool/headless_show.h"
#include "render_tool/image_writer.h"
#include "render_tool/progress.h"
#include "render_tool/render_options.h"
#include "render_tool/video_encoder.h"

static constexpr const char* kTrackPath = "data/music/track.mp3";

static int fail(const std::string& message) {
    std::fprintf(stderr, "vellomire-render: %s\n", message.c_str());
    return 1;
}

static std::string parentDirectory(const std::string& path) {
    const std::size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? "." : (slash == 0 ? "/" : path.substr(0, slash));
}

static bool writableDirectory(const std::string& directory) {
    struct stat info {};
    return stat(directory.c_str(), &info) == 0 && S_ISDIR(info.st_mode) &&
           access(directory.c_str(), W_OK | X_OK) == 0;
}

// Checks the output before any frame is drawn; a sequence's directory is made when missing.
static bool prepareOutput(const RenderOptions& options, std::string* const error) {
    if (options.mode == RenderMode::Sequence) {
        const std::string directory = options.out.substr(0, options.out.size() - 1);
        if (!directory.empty()) {
            mkdir(directory.c_str(), 0755);
        }
        if (!writableDirectory(directory.empty() ? "/" : directory)) {
            *error = "cannot write frames into " + options.out;
            return false;
        }
        return true;
    }
    if (!writableDirectory(parentDirectory(options.out))) {
        *error = "cannot write " + options.out + ": its directory is missing or not writable";
        return false;
    }
    if (options.mode == RenderMode::Video && !ffmpegAvailable()) {
        *error = "ffmpeg is not installed: it is needed to make a video";
        return false;
    }
    return true;
}

static std::string glErrorMessage(const double clock) {
    char text[160];
    std::snprintf(text, sizeof(text), "GL error 0x%04X after %s in the frame at %.3f s",
                  lastShowGlError(), lastShowGlErrorPass(), clock);
    return text;
}

// The last frame's picture, placed in the frame the options ask for.
static void readSavedFrame(const RenderOptions& options, RgbImage* const picture,
                           RgbImage* const frame) {
    picture->width = options.size.width;
    picture->height = options.size.height;
    readShowPicture(&picture->rgb);
    placeInFrame(*picture, savedFrameWidth(options), savedFrameHeight(options), frame);
}

static int renderFrame(const RenderOptions& options) {
    primeShowAt(options.at);
    if (!drawShowFrame(options.at) && lastShowGlError() != 0) {
        return fail(glErrorMessage(options.at));
    }
    if (options.headsUp) {
        drawShowHeadsUp(static_cast<float>(options.fps));
    }
    RgbImage picture;
    RgbImage frame;
    readSavedFrame(options, &picture, &frame);
    std::string error;
    if (!writePicturePng(options.out, frame, &error)) {
        return fail(error);
    }
    return 0;
}

static double frameClock(const RenderOptions& options, const int n) {
    return options.from + static_cast<double>(n) / options.fps;
}

static int renderSpan(const RenderOptions& options) {
    const bool video = options.mode == RenderMode::Video;
    const int count = sequenceFrameCount(options);
    std::string error;
    VideoEncoder encoder;
    if (video &&
        !startVideo(&encoder, options.out, savedFrameWidth(options), savedFrameHeight(options),
                    options.fps, options.from, static_cast<double>(count) / options.fps,
                    dataPath(kTrackPath), &error)) {
        return fail(error);
    }
    RgbImage picture;
    RgbImage frame;
    Progress progress;
    startProgress(&progress, count);
    primeShowAt(options.from);
    for (int n = 0; n < count; ++n) {
        const double clock = frameClock(options, n);
        if (!drawShowFrame(clock)) {
            if (lastShowGlError() != 0) {
                error = glErrorMessage(clock);
                break;
            }
            break; // the show has ended
        }
        if (options.headsUp) {
            drawShowHeadsUp(static_cast<float>(options.fps));
        }
        readSavedFrame(options, &picture, &frame);
        const bool written = video ? writeVideoFrame(&encoder, frame.rgb, &error)
                                   : writePicturePng(framePath(options.out, n + 1), frame, &error);
        if (!written) {
            break;
        }
        advanceProgress(&progress);
    }
    if (!error.empty()) {
        if (video) {
            abandonVideo(&encoder);
        }
        return fail(error);
    }
    if (video && !finishVideo(&encoder, &error)) {
        return fail(error);
    }
    finishProgress(&progress, options.out.c_str());
    return 0;
}

int main(const int argc, char** const argv) {
    std::signal(SIGPIPE, SIG_IGN); // a dead ffmpeg is reported by write, not by a signal
    RenderOptions options;
    std::string error;
    if (!parseRenderOptions(argc, argv, &options, &error)) {
        std::fprintf(stderr, "vellomire-render: %s\n%s", error.c_str(), renderUsage());
        return 2;
    }
    if (options.mode == RenderMode::Help) {
        std::fputs(renderUsage(), stdout);
        return 0;
    }
    if (options.mode == RenderMode::Version) {
        std::puts("vellomire-render " VELLOMIRE_VERSION);
        return 0;
    }
    if (chooseDataRoot("vellomire-render", options.data) == DataRootChoice::Refused) {
        return 2;
    }
    if (options.mode != RenderMode::Bench && !prepareOutput(options, &error)) {
        return fail(error);
    }
    setPictureSize(options.size);
    if (!openHeadlessShow(options.checkGlErrors, &error)) {
        return fail("no headless OpenGL: " + error);
    }
    int status = 0;
    switch (options.mode) {
    case RenderMode::Frame:
        status = renderFrame(options);
        break;
    case RenderMode::Sequence:
    case RenderMode::Video:
        status = renderSpan(options);
        break;
    case RenderMode::Bench:
        status = runFrameBench(options.benchFrames, options.csv);
        break;
    case RenderMode::Help:
    case RenderMode::Version:
        break;
    }
    closeHeadlessShow();
    return status;
}

#pragma once
#include <cstdint>
#include <string>
#include <sys/types.h>
#include <vector>

// H.264 video with the music, made by the ffmpeg program from raw frames on a pipe.
struct VideoEncoder {
    pid_t process = -1;
    int input = -1; // write end of ffmpeg's standard input
    std::string temporaryPath;
    std::string finalPath;
    int width = 0; // of every frame
    int height = 0;
};

// True when an ffmpeg program is on the PATH.
bool ffmpegAvailable();

// Starts ffmpeg writing `path` (through a temporary name) at `fps` with frames of
// width x height (even), with the music from `trackPath` between `from` and
// `from + duration` seconds when that file exists.
bool startVideo(VideoEncoder* encoder, const std::string& path, int width, int height, int fps,
                double from, double duration, const std::string& trackPath, std::string* error);

// Hands one RGB frame of the video's size (rows bottom-up) to ffmpeg.
bool writeVideoFrame(VideoEncoder* encoder, const std::vector<std::uint8_t>& rgb,
                     std::string* error);

// Closes the pipe, waits for ffmpeg, and renames the video into place when it succeeded.
bool finishVideo(VideoEncoder* encoder, std::string* error);

// Stops ffmpeg and removes the partial video.
void abandonVideo(VideoEncoder* encoder);

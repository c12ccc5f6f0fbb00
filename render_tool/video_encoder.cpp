#include "render_tool/video_encoder.h"

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

bool ffmpegAvailable() {
    const char* const path = std::getenv("PATH");
    std::string directories = path != nullptr ? path : "/usr/bin:/bin";
    std::size_t start = 0;
    while (start <= directories.size()) {
        const std::size_t end = directories.find(':', start);
        const std::string directory =
            directories.substr(start, end == std::string::npos ? std::string::npos : end - start);
        const std::string candidate = (directory.empty() ? "." : directory) + "/ffmpeg";
        if (access(candidate.c_str(), X_OK) == 0) {
            return true;
        }
        if (end == std::string::npos) {
            break;
        }
        start = end + 1;
    }
    return false;
}

static std::string formatSeconds(const double seconds) {
    char text[32];
    std::snprintf(text, sizeof(text), "%.6f", seconds);
    return text;
}

static std::vector<std::string> ffmpegArguments(const std::string& output, const int width,
                                                const int height, const int fps, const double from,
                                                const double duration, const std::string& trackPath,
                                                const bool withMusic) {
    std::vector<std::string> args = {"ffmpeg",
                                     "-hide_banner",
                                     "-loglevel",
                                     "error",
                                     "-y",
                                     "-f",
                                     "rawvideo",
                                     "-pix_fmt",
                                     "rgb24",
                                     "-s",
                                     std::to_string(width) + "x" + std::to_string(height),
                                     "-r",
                                     std::to_string(fps),
                                     "-i",
                                     "-"};
    if (withMusic) {
        args.insert(args.end(), {"-ss", formatSeconds(from), "-t", formatSeconds(duration), "-i",
                                 trackPath, "-map", "0:v:0", "-map", "1:a:0"});
    }
    args.insert(args.end(), {"-vf", "vflip", "-c:v", "libx264", "-preset", "veryfast", "-crf", "20",
                             "-pix_fmt", "yuv420p"});
    if (withMusic) {
        args.insert(args.end(),
                    {"-c:a", "aac", "-b:a", "192k", "-af", "apad", "-t", formatSeconds(duration)});
    }
    args.insert(args.end(), {"-movflags", "+faststart", "-f", "mp4", output});
    return args;
}

static bool regularFileExists(const std::string& path) {
    struct stat info {};
    return stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode) &&
           access(path.c_str(), R_OK) == 0;
}

bool startVideo(VideoEncoder* const encoder, const std::string& path, const int width,
                const int height, const int fps, const double from, const double duration,
                const std::string& trackPath, std::string* const error) {
    encoder->finalPath = path;
    encoder->temporaryPath = path + ".part" + std::to_string(getpid());
    encoder->width = width;
    encoder->height = height;
    const std::vector<std::string> args =
        ffmpegArguments(encoder->temporaryPath, width, height, fps, from, duration, trackPath,
                        regularFileExists(trackPath));
    std::vector<char*> argv;
    for (const std::string& arg : args) {
        argv.push_back(const_cast<char*>(arg.c_str()));
    }
    argv.push_back(nullptr);

    int pipeEnds[2] = {-1, -1};
    if (pipe2(pipeEnds, O_CLOEXEC) != 0) {
        *error = "cannot make a pipe to ffmpeg";
        return false;
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, pipeEnds[0], STDIN_FILENO);
    pid_t process = -1;
    const int spawned = posix_spawnp(&process, "ffmpeg", &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    close(pipeEnds[0]);
    if (spawned != 0) {
        close(pipeEnds[1]);
        *error = "cannot start ffmpeg (is the ffmpeg package installed?)";
        return false;
    }
    encoder->process = process;
    encoder->input = pipeEnds[1];
    return true;
}

bool writeVideoFrame(VideoEncoder* const encoder, const std::vector<std::uint8_t>& rgb,
                     std::string* const error) {
    if (rgb.size() != static_cast<std::size_t>(encoder->width) * encoder->height * 3) {
        *error = "a frame of the wrong size for the video";
        return false;
    }
    std::size_t written = 0;
    while (written < rgb.size()) {
        const ssize_t got = write(encoder->input, rgb.data() + written, rgb.size() - written);
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got <= 0) {
            *error = "ffmpeg stopped taking frames";
            return false;
        }
        written += static_cast<std::size_t>(got);
    }
    return true;
}

static int waitForProcess(const pid_t process) {
    int status = 0;
    while (waitpid(process, &status, 0) < 0) {
        if (errno != EINTR) {
            return -1;
        }
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

bool finishVideo(VideoEncoder* const encoder, std::string* const error) {
    close(encoder->input);
    encoder->input = -1;
    const int status = waitForProcess(encoder->process);
    encoder->process = -1;
    if (status != 0) {
        *error = "ffmpeg failed (exit status " + std::to_string(status) + ")";
        std::remove(encoder->temporaryPath.c_str());
        return false;
    }
    if (std::rename(encoder->temporaryPath.c_str(), encoder->finalPath.c_str()) != 0) {
        *error = "cannot move the video to " + encoder->finalPath;
        std::remove(encoder->temporaryPath.c_str());
        return false;
    }
    return true;
}

void abandonVideo(VideoEncoder* const encoder) {
    if (encoder->input >= 0) {
        close(encoder->input);
        encoder->input = -1;
    }
    if (encoder->process > 0) {
        kill(encoder->process, SIGTERM);
        waitForProcess(encoder->process);
        encoder->process = -1;
    }
    std::remove(encoder->temporaryPath.c_str());
}

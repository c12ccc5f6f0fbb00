// Writes the show's content files under a repository root:
//   generate_content <root> [files] [music]
// "files": the textures, the glyph atlas, the torus model, the dialog picture and the icons;
// "music": the track, synthesised to a WAV and encoded by the lame program.
// With no selection both are made.
#include <spawn.h>
#include <sys/wait.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <string>

#include "tools/content_files.h"
#include "tools/content_image.h"
#include "tools/music.h"

extern char** environ;

namespace {

bool writeContentFiles(const std::string& root) {
    std::vector<ContentFile> files;
    std::string error;
    if (!makeContentFiles(&files, &error)) {
        std::fprintf(stderr, "generate_content: %s\n", error.c_str());
        return false;
    }
    for (const ContentFile& file : files) {
        const std::string path = root + "/" + file.path;
        std::error_code ignored; // a folder that cannot be made shows as a failed write
        std::filesystem::create_directories(std::filesystem::path(path).parent_path(), ignored);
        if (!writeFileBytes(path, file.bytes)) {
            std::fprintf(stderr, "generate_content: cannot write %s\n", path.c_str());
            return false;
        }
        std::printf("wrote %s (%zu bytes)\n", path.c_str(), file.bytes.size());
    }
    return true;
}

// Runs a program with arguments (no shell) and waits for it. True when it exits with 0.
bool runProgram(const std::vector<std::string>& arguments) {
    std::vector<char*> argv;
    for (const std::string& argument : arguments) {
        argv.push_back(const_cast<char*>(argument.c_str()));
    }
    argv.push_back(nullptr);
    pid_t child = 0;
    if (posix_spawnp(&child, argv[0], nullptr, nullptr, argv.data(), environ) != 0) {
        std::fprintf(stderr, "generate_content: cannot start %s\n", argv[0]);
        return false;
    }
    int status = 0;
    if (waitpid(child, &status, 0) != child) {
        return false;
    }
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

bool writeMusic(const std::string& root) {
    const auto started = std::chrono::steady_clock::now();
    const std::clock_t cpuStarted = std::clock();
    const StereoSignal track = synthesizeTrack();
    const std::chrono::duration<double> took = std::chrono::steady_clock::now() - started;
    const double cpuSeconds = static_cast<double>(std::clock() - cpuStarted) / CLOCKS_PER_SEC;
    std::printf("synthesised %.1f s of music in %.2f s (%.2f s of processor time)\n",
                static_cast<double>(track.left.size()) / kTrackSampleRate, took.count(),
                cpuSeconds);
    const std::string wavPath = root + "/build/track.wav";
    if (!writeFileBytes(wavPath, encodeWav16(track))) {
        std::fprintf(stderr, "generate_content: cannot write %s\n", wavPath.c_str());
        return false;
    }
    std::printf("wrote %s (%.1f s)\n", wavPath.c_str(),
                static_cast<double>(track.left.size()) / kTrackSampleRate);
    const std::string mp3Path = root + "/data/music/track.mp3";
    if (!runProgram({"lame", "--quiet", "--preset", "cbr", "192", "-m", "j", wavPath, mp3Path})) {
        std::fprintf(stderr, "generate_content: lame could not encode %s\n", wavPath.c_str());
        return false;
    }
    std::remove(wavPath.c_str());
    std::printf("wrote %s\n", mp3Path.c_str());
    return true;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: generate_content <repository root> [files] [music]\n");
        return 2;
    }
    const std::string root = argv[1];
    bool files = argc == 2;
    bool music = argc == 2;
    for (int i = 2; i < argc; ++i) {
        if (std::strcmp(argv[i], "files") == 0) {
            files = true;
        } else if (std::strcmp(argv[i], "music") == 0) {
            music = true;
        } else {
            std::fprintf(stderr, "generate_content: unknown selection %s\n", argv[i]);
            return 2;
        }
    }
    if (files && !writeContentFiles(root)) {
        return 1;
    }
    if (music && !writeMusic(root)) {
        return 1;
    }
    return 0;
}

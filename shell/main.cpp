#include <SDL.h>
#include <cstdio>
#include <cstring>
#include <string>

#include "demo/music.h"
#include "platform/data_root.h"
#include "shell/gtk_dialog.h"
#include "shell/main_loop.h"

static constexpr const char* kUsage =
    "usage: vellomire [--data DIR] [--version] [--help]\n"
    "Plays the show: a dialog first (FullScreen, OK, Exit), then the show in a window.\n"
    "Keys: Escape quits, F1 switches between a window and full screen, Left/Right move the\n"
    "music by 0.5 s and Down/Up by 5 s for every frame they are held.\n"
    "\n"
    "The show's files (data/music/track.mp3 and the rest) are read below the first folder\n"
    "holding any of them among: --data DIR, $VELLOMIRE_DATA, the working directory, the\n"
    "program's folder and up to three folders above it, then <prefix>/share/vellomire.\n"
    "Without them a warning names where they were looked for and the show runs silently\n"
    "without its pictures.\n";

int main(const int argc, char** const argv) {
    std::string data;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
            std::fputs(kUsage, stdout);
            return 0;
        }
        if (std::strcmp(argv[i], "--version") == 0) {
            std::puts("vellomire " VELLOMIRE_VERSION);
            return 0;
        }
        if (std::strcmp(argv[i], "--data") == 0 && i + 1 < argc && argv[i + 1][0] != '\0') {
            data = argv[++i];
            continue;
        }
        std::fprintf(stderr, "vellomire: unusable option %s\n%s", argv[i], kUsage);
        return 2;
    }
    chooseDataRoot("vellomire", data);
    const int status = winMain(runSettingsDialog);
    resetMusic(); // the sound stops, its thread ended, before the track and SDL go
    SDL_Quit();   // everything SDL started, down to its desktop-bus connection
    return status;
}

#include <SDL.h>
#include <cstdio>
#include <cstring>
#include <string>

#include "demo/music.h"
#include "platform/data_root.h"
#include "shell/gtk_dialog.h"
#include "shell/main_loop.h"
#include "shell/picture_sizing.h"

static constexpr const char* kUsage =
    "usage: vellomire [--size WxH|HEIGHT|native] [--data DIR] [--version] [--help]\n"
    "Plays the show: a dialog first (FullScreen, OK, Exit), then the show in a window.\n"
    "\n"
    "  --size WxH      draws the picture at that size, 4:3 from 320x240 to 3840x2880\n"
    "  --size HEIGHT   the same with the width from the height (1080: 1440x1080)\n"
    "  --size native   draws at the window's own size fitted to 4:3, following it when\n"
    "                  it is resized or switched to full screen\n"
    "The picture is drawn at 800x600 unless --size says otherwise, and shown scaled to\n"
    "the window with black margins; with native, pixel for pixel, centred.\n"
    "\n"
    "Keys: Escape quits, F1 switches between a window and full screen, Left/Right move the\n"
    "music by 0.5 s and Down/Up by 5 s for every frame they are held. Space pauses and\n"
    "resumes; while paused . and , step one frame (30 a second) forward and back. Page\n"
    "Down/Page Up jump to the next/previous cut, Home to the start. H shows or hides the\n"
    "heads-up line (clock, scene, fps, size, timeline), which also shows while the mouse\n"
    "is over the bottom bar; a click on its timeline seeks there, a drag scrubs.\n"
    "\n"
    "The show's files (data/music/track.mp3 and the rest) are read below --data DIR, or\n"
    "else $VELLOMIRE_DATA, which must hold at least one of them (exit status 2 if not);\n"
    "without either, below the first folder holding them all among: the working\n"
    "directory, the program's folder and up to three folders above it, then\n"
    "<prefix>/share/vellomire. Without them a warning names where they were looked for\n"
    "and the show runs silently without its pictures.\n";

// The size the options before --help choose, after the usage.
static void printChosenSize(const PictureSizing& sizing) {
    if (sizing.native) {
        std::puts("\nPicture size chosen: native (the window's size fitted to 4:3).");
    } else {
        std::printf("\nPicture size chosen: %dx%d%s.\n", sizing.fixed.width, sizing.fixed.height,
                    sizing.fixed == kDefaultPictureSize ? " (the default)" : "");
    }
}

int main(const int argc, char** const argv) {
    std::string data;
    PictureSizing sizing;
    bool help = false;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
            help = true;
            continue;
        }
        if (std::strcmp(argv[i], "--version") == 0) {
            std::puts("vellomire " VELLOMIRE_VERSION);
            return 0;
        }
        if (std::strcmp(argv[i], "--size") == 0 && i + 1 < argc) {
            if (!parsePictureSizing(argv[i + 1], &sizing)) {
                std::fprintf(stderr,
                             "vellomire: --size takes WxH in 4:3 from 320x240 to 3840x2880, a "
                             "height such as 1080, or native\n");
                return 2;
            }
            ++i;
            continue;
        }
        if (std::strcmp(argv[i], "--data") == 0 && i + 1 < argc && argv[i + 1][0] != '\0') {
            data = argv[++i];
            continue;
        }
        std::fprintf(stderr, "vellomire: unusable option %s\n%s", argv[i], kUsage);
        return 2;
    }
    if (help) {
        std::fputs(kUsage, stdout);
        printChosenSize(sizing);
        return 0;
    }
    if (chooseDataRoot("vellomire", data) == DataRootChoice::Refused) {
        return 2;
    }
    const int status = winMain(runSettingsDialog, sizing);
    resetMusic(); // the sound stops, its thread ended, before the track and SDL go
    SDL_Quit();   // everything SDL started, down to its desktop-bus connection
    return status;
}

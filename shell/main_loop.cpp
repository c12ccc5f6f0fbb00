#include "shell/main_loop.h"

#include <SDL.h>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "demo/frame.h"
#include "demo/heads_up.h"
#include "demo/music.h"
#include "demo/show_controls.h"
#include "demo/viewer_input.h"
#include "shell/demo_hooks.h"
#include "shell/gl_window.h"
#include "shell/picture_sizing.h"

namespace {

// The show has passed its end: stop the sound (its thread has ended before anything it reads
// is freed), give the desktop back and end the process.
void endShow() {
    resetMusic();
    destroyRenderWindow(&renderWindow);
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
    std::exit(0);
}

FrameRate frameRate;

void present(RenderWindow* const w, const bool withHeadsUp) {
    const HeadsUp line = currentHeadsUp(frameRate, w->picture.size);
    presentFrame(w, withHeadsUp ? &line : nullptr);
    w->repaintRequested = false;
}

// One turn of the inner loop: the keys and the pointer, then a frame while the show plays or
// its clock has moved; paused, the held picture again when the window or the heads-up line
// needs it, else a short wait for events.
void runTurn(const PictureSizing& sizing, RenderWindow* const w, bool* const headsUpOn) {
    const PictureSize before = pictureSize();
    followDrawableSize(sizing, w);
    if (pictureSize() != before) {
        markShowFrameDue(); // the new picture is the frame at the paused clock
    }
    const std::uint32_t now = SDL_GetTicks();
    demoUpdate(now - w->previousTick);
    w->previousTick = now;
    const bool due = takeShowFrameDue();
    const bool headsUp = headsUpWanted();
    if (!showPaused() || due) {
        demoDraw();
        countFrame(&frameRate, now, !showPaused());
        present(w, headsUp);
    } else if (w->repaintRequested || headsUp != *headsUpOn) {
        present(w, headsUp);
    } else {
        constexpr int kPausedWaitMs = 50;
        SDL_WaitEventTimeout(nullptr, kPausedWaitMs);
    }
    *headsUpOn = headsUp;
}

// The inner loop: takes the window's events one at a time and runs a turn whenever none is
// waiting, until a quit or a full-screen switch ends the window.
void runWindow(const PictureSizing& sizing, RenderWindow* const w) {
    SDL_Event event;
    bool headsUpOn = false;
    while (!windowFinished(w)) {
        if (SDL_PollEvent(&event) != 0) {
            int drawableWidth = 0;
            int drawableHeight = 0;
            SDL_GL_GetDrawableSize(w->window, &drawableWidth, &drawableHeight);
            handleEvent(w, event, drawableWidth, drawableHeight);
        } else if (w->visible == 1) {
            runTurn(sizing, w, &headsUpOn);
        } else {
            SDL_WaitEvent(nullptr);
        }
    }
}

} // namespace

int winMain(bool (*const settingsDialog)(), const PictureSizing& sizing) {
    renderWindow = RenderWindow{};
    renderWindow.title = "Vellomire Engine";
    renderWindow.width = 800;
    renderWindow.height = 600;
    renderWindow.colorDepth = 32;
    renderWindow.fullScreen = 1;
    renderWindow.pixelForPixel = sizing.native;

    std::string noDisplay;
    if (!openDisplay(&noDisplay)) {
        std::fprintf(stderr, "vellomire: cannot open a window: %s\n", noDisplay.c_str());
        showError("RegisterClassEx Failed!");
        showError("Error Registering Window Class!");
        return -1;
    }
    settingsDialog();
    setShowEndHandler(endShow);
    keepRunning = 1;
    fullScreenWanted = renderWindow.fullScreen;
    int status = 0;
    for (;;) {
        renderWindow.fullScreen = fullScreenWanted;
        setPictureSize(startingPictureSize(sizing));
        if (createRenderWindow(&renderWindow) != 1) {
            showError("Error Creating OpenGL Window");
            keepRunning = 0;
            status = 1; // 0 says the show ended; it could not even be shown
            break;
        }
        demoInit(&renderWindow);
        runWindow(sizing, &renderWindow);
        demoShutdown();
        destroyRenderWindow(&renderWindow);
        if (keepRunning == 0) {
            break;
        }
    }
    return status;
}

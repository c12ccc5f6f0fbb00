#include "shell/demo_hooks.h"

#include <algorithm>
#include <array>
#include <cmath>

#include "demo/frame.h"
#include "demo/heads_up.h"
#include "demo/music.h"
#include "demo/show_controls.h"
#include "demo/startup.h"
#include "platform/gl.h"
#include "shell/viewer_controls.h"

RenderWindow* activeWindow = nullptr;

namespace {

MusicSeeker musicSeeker = seekMusic;
const ShowControlActions* controls = &kShowControlActions;

HeadsUpVisibility headsUp;
StripScrub scrub;
bool pointerShown = true;
std::uint32_t pointerMovedAt = 0;

void perform(const KeyBinding& binding) {
    if (performShowCommand(binding, *controls, musicSeeker)) {
        return;
    }
    switch (binding.command) {
    case KeyCommand::Quit:
        requestQuit(activeWindow);
        break;
    case KeyCommand::ToggleFullScreen:
        requestFullScreenToggle(activeWindow);
        break;
    case KeyCommand::ToggleHeadsUp:
        headsUp.held = !headsUp.held;
        break;
    default:
        break;
    }
}

// The pointer's moves and the left button since the last turn, on the picture's virtual
// screen; in full screen the pointer hides when it rests.
void pollPointer(RenderWindow* const w, const std::uint32_t now) {
    if (w->pointerMoved || w->buttonPresses > 0 || w->buttonReleases > 0) {
        int windowWidth = w->drawableWidth;
        int windowHeight = w->drawableHeight;
        if (w->window != nullptr) {
            SDL_GetWindowSize(w->window, &windowWidth, &windowHeight);
        }
        PointerTurn turn;
        turn.point =
            virtualPointOf(w->pointerX, w->pointerY, windowWidth, windowHeight, w->drawableWidth,
                           w->drawableHeight, pictureSize(), w->pixelForPixel);
        turn.inside = w->pointerInside;
        turn.moved = w->pointerMoved;
        turn.pressed = w->buttonPresses > 0;
        turn.released = w->buttonReleases > 0;
        followPointer(turn, now, *controls, &headsUp, &scrub);
    }
    if (w->pointerMoved) {
        pointerMovedAt = now;
    }
    const bool show = w->fullScreen == 0 || now - pointerMovedAt < kPointerShownMs;
    if (show != pointerShown && w->window != nullptr) {
        SDL_ShowCursor(show ? SDL_ENABLE : SDL_DISABLE);
    }
    pointerShown = show;
    w->pointerMoved = false;
    w->buttonPresses = 0;
    w->buttonReleases = 0;
}

} // namespace

void setMusicSeeker(const MusicSeeker seeker) {
    musicSeeker = seeker != nullptr ? seeker : seekMusic;
}

void setShowControlActions(const ShowControlActions* const actions) {
    controls = actions != nullptr ? actions : &kShowControlActions;
}

void demoInit(RenderWindow* const window) {
    activeWindow = window;
    pointerShown = window->fullScreen == 0; // as the new window starts
    pointerMovedAt = SDL_GetTicks() - kPointerShownMs;
    startDemo();
    markShowFrameDue(); // a paused show shows its clock in the new window
}

void demoShutdown() {}

void demoUpdate(std::uint32_t) {
    pollShowKeys(&activeWindow->keys, perform);
    pollPointer(activeWindow, SDL_GetTicks());
}

bool headsUpWanted() {
    return headsUpShown(headsUp, SDL_GetTicks());
}

void resetViewerControls() {
    headsUp = HeadsUpVisibility{};
    scrub = StripScrub{};
}

void demoDraw() {
    drawFrame();
    glFlush();
}

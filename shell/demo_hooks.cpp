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
constexpr ShowControlActions kShowControls = {toggleShowPause,   stepShowFrames, jumpToNextCut,
                                              jumpToPreviousCut, jumpToStart,    moveShowTo};
const ShowControlActions* controls = &kShowControls;

HeadsUpVisibility headsUp;
// A drag along the strip: the show is held while it lasts, and plays on after it unless it
// was paused before.
bool scrubbing = false;
bool pausedBeforeScrub = false;
bool pointerShown = true;
std::uint32_t pointerMovedAt = 0;

enum class KeyCommand {
    Quit,
    ToggleFullScreen,
    Seek,
    TogglePause,
    Step,
    NextCut,
    PreviousCut,
    Start,
    ToggleHeadsUp
};

struct KeyBinding {
    ShowKey key;
    KeyCommand command;
    float amount;   // the seek's milliseconds, the step's frames
    bool whileHeld; // acts in every frame while held; else once for every press
};

// Polled in this order every turn of the loop.
constexpr std::array<KeyBinding, 13> kKeyBindings = {{
    {ShowKey::Escape, KeyCommand::Quit, 0.0f, true},
    {ShowKey::F1, KeyCommand::ToggleFullScreen, 0.0f, true},
    {ShowKey::Left, KeyCommand::Seek, -500.0f, true},
    {ShowKey::Right, KeyCommand::Seek, 500.0f, true},
    {ShowKey::Up, KeyCommand::Seek, 5000.0f, true},
    {ShowKey::Down, KeyCommand::Seek, -5000.0f, true},
    {ShowKey::Space, KeyCommand::TogglePause, 0.0f, false},
    {ShowKey::Period, KeyCommand::Step, 1.0f, false},
    {ShowKey::Comma, KeyCommand::Step, -1.0f, false},
    {ShowKey::PageDown, KeyCommand::NextCut, 0.0f, false},
    {ShowKey::PageUp, KeyCommand::PreviousCut, 0.0f, false},
    {ShowKey::Home, KeyCommand::Start, 0.0f, false},
    {ShowKey::H, KeyCommand::ToggleHeadsUp, 0.0f, false},
}};

void perform(const KeyBinding& binding) {
    switch (binding.command) {
    case KeyCommand::Quit:
        requestQuit(activeWindow);
        break;
    case KeyCommand::ToggleFullScreen:
        requestFullScreenToggle(activeWindow);
        break;
    case KeyCommand::Seek:
        musicSeeker(binding.amount);
        markShowFrameDue(); // a paused show shows the new clock
        break;
    case KeyCommand::TogglePause:
        controls->togglePause();
        break;
    case KeyCommand::Step:
        controls->step(static_cast<int>(binding.amount));
        break;
    case KeyCommand::NextCut:
        controls->nextCut();
        break;
    case KeyCommand::PreviousCut:
        controls->previousCut();
        break;
    case KeyCommand::Start:
        controls->start();
        break;
    case KeyCommand::ToggleHeadsUp:
        headsUp.held = !headsUp.held;
        break;
    }
}

int stripClockMs(const VirtualPoint point) {
    return static_cast<int>(std::lround(stripSecondsAt(point.x) * 1000.0f));
}

// The pointer's moves and the left button since the last turn: the heads-up line follows the
// pointer over the bottom bar; a press on the strip seeks there and holds the show while the
// button is down, moves with it, and lets it play on where it is released.
void pollPointer(RenderWindow* const w, const std::uint32_t now) {
    if (w->pointerMoved || w->buttonPresses > 0 || w->buttonReleases > 0) {
        int windowWidth = w->drawableWidth;
        int windowHeight = w->drawableHeight;
        if (w->window != nullptr) {
            SDL_GetWindowSize(w->window, &windowWidth, &windowHeight);
        }
        const VirtualPoint point =
            virtualPointOf(w->pointerX, w->pointerY, windowWidth, windowHeight, w->drawableWidth,
                           w->drawableHeight, pictureSize(), w->pixelForPixel);
        notePointerOverBar(&headsUp, w->pointerInside && overBottomBar(point), now);
        if (w->buttonPresses > 0 && !scrubbing && onStrip(point.x, point.y)) {
            scrubbing = true;
            pausedBeforeScrub = controls->paused();
            controls->setPaused(true);
            controls->moveTo(stripClockMs(point));
        } else if (scrubbing && w->pointerMoved) {
            controls->moveTo(stripClockMs(point));
        }
        if (scrubbing && w->buttonReleases > 0) {
            scrubbing = false;
            controls->setPaused(pausedBeforeScrub);
        }
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
    controls = actions != nullptr ? actions : &kShowControls;
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
    KeyState& presses = activeWindow->keyPresses;
    for (const KeyBinding& binding : kKeyBindings) {
        const auto key = static_cast<std::size_t>(binding.key);
        if (binding.whileHeld) {
            if (activeWindow->keys[key] == 1 || presses[key] > 0) {
                perform(binding);
            }
        } else {
            for (int press = 0; press < presses[key]; ++press) {
                perform(binding);
            }
        }
    }
    presses.fill(0);
    pollPointer(activeWindow, SDL_GetTicks());
}

bool headsUpWanted() {
    return headsUpShown(headsUp, SDL_GetTicks());
}

void resetViewerControls() {
    headsUp = HeadsUpVisibility{};
    scrubbing = false;
    pausedBeforeScrub = false;
}

void demoDraw() {
    drawFrame();
    glFlush();
}

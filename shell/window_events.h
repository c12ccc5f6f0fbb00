#pragma once
// The window record, the state of the keys the show uses, and what SDL's events do to them.
#include <SDL.h>

#include <array>
#include <cstdint>

#include "demo/viewer_input.h"
#include "render/picture_target.h"

// The one window of the program and the state that comes with it.
struct RenderWindow {
    // The show's keys: held, and pressed since the last frame polled them, even if up again.
    ShowKeys keys;
    // The pointer in window coordinates as it last moved, whether it is over the window, and
    // what happened since the last poll: moved, primary button pressed and released (counted).
    std::int32_t pointerX = 0;
    std::int32_t pointerY = 0;
    bool pointerInside = false;
    bool pointerMoved = false;
    std::int32_t buttonPresses = 0;
    std::int32_t buttonReleases = 0;
    // The window must show its picture again though no frame is drawn (exposed, resized).
    bool repaintRequested = false;
    SDL_Window* window = nullptr; // null while no window exists
    Uint32 windowId = 0;          // SDL's id of `window`: events of other windows are ignored
    SDL_GLContext renderContext = nullptr;
    const char* title = nullptr;
    std::int32_t width = 0;      // requested client width (800)
    std::int32_t height = 0;     // requested client height (600)
    std::int32_t colorDepth = 0; // bits per pixel (32)
    std::int32_t fullScreen = 0; // 1: full-screen window; 0: ordinary window
    std::int32_t visible = 0;    // 1: frames are drawn; 0: minimised, the loop waits
    std::uint32_t previousTick = 0;
    // Requests the loop reads after every event and frame (windowFinished).
    bool quitRequested = false;
    bool fullScreenSwitchRequested = false;
    // The 800 x 600 picture the show draws into, one per GL context, and the size in pixels of
    // the window's drawable it is shown in.
    PictureTarget picture;
    std::int32_t drawableWidth = 0;
    std::int32_t drawableHeight = 0;
    // The picture is drawn at the drawable's own size and shown pixel for pixel when it fits.
    bool pixelForPixel = false;
};

// The program's one window record.
extern RenderWindow renderWindow;

// 1 while the outer loop is to make another window after the current one; requestQuit clears it.
extern std::int32_t keepRunning;
// The full-screen state the next window is created with; windowFinished flips it after F1.
extern std::int32_t fullScreenWanted;

// The key an SDL key means to the show: Escape, F1, the arrows, Space, period, comma, Page
// Down, Page Up, Home and H, and with NumLock off the keypad's 4, 6, 8 and 2 as the arrows and
// its 3, 9 and 7 as Page Down, Page Up and Home. False for every other key.
bool showKeyFor(const SDL_Keysym& key, ShowKey* out);

// What `event` does to the window, whose drawable now measures drawableWidth x drawableHeight
// pixels: keys go down (with Alt held they do nothing, but Alt+F4 quits) and up (a release
// always clears its key, whatever Alt and NumLock say by then); losing the focus releases every
// key; resizing, maximising and restoring show the window at that size, minimising hides it;
// closing it (and SDL's quit event, e.g. on an interrupt) quits; exposing it asks for a repaint;
// the pointer's moves, entering and leaving, and the left button are recorded. Events of other
// windows are ignored.
void handleEvent(RenderWindow* w, const SDL_Event& event, int drawableWidth, int drawableHeight);

// Ends the current window and the whole program (keepRunning cleared).
void requestQuit(RenderWindow* w);
// Ends the current window, making the next one in the other mode.
void requestFullScreenToggle(RenderWindow* w);
// Whether the current window is to end now, taking the requests: a quit wins over a switch,
// which flips fullScreenWanted.
bool windowFinished(RenderWindow* w);

#include "shell/window_events.h"

RenderWindow renderWindow;
std::int32_t keepRunning = 0;
std::int32_t fullScreenWanted = 0;

namespace {

struct SdlKeyBinding {
    SDL_Keycode key;
    ShowKey showKey;
    bool keypad; // acts only while NumLock is off
};

constexpr std::array<SdlKeyBinding, 20> kSdlKeys = {{
    {SDLK_ESCAPE, ShowKey::Escape, false}, {SDLK_F1, ShowKey::F1, false},
    {SDLK_LEFT, ShowKey::Left, false},     {SDLK_RIGHT, ShowKey::Right, false},
    {SDLK_UP, ShowKey::Up, false},         {SDLK_DOWN, ShowKey::Down, false},
    {SDLK_SPACE, ShowKey::Space, false},   {SDLK_PERIOD, ShowKey::Period, false},
    {SDLK_COMMA, ShowKey::Comma, false},   {SDLK_PAGEDOWN, ShowKey::PageDown, false},
    {SDLK_PAGEUP, ShowKey::PageUp, false}, {SDLK_HOME, ShowKey::Home, false},
    {SDLK_h, ShowKey::H, false},           {SDLK_KP_4, ShowKey::Left, true},
    {SDLK_KP_6, ShowKey::Right, true},     {SDLK_KP_8, ShowKey::Up, true},
    {SDLK_KP_2, ShowKey::Down, true},      {SDLK_KP_3, ShowKey::PageDown, true},
    {SDLK_KP_9, ShowKey::PageUp, true},    {SDLK_KP_7, ShowKey::Home, true},
}};

enum class WindowAction { Show, Hide, Quit, ReleaseKeys, Repaint, PointerLeft };

struct WindowEventAction {
    SDL_WindowEventID event;
    WindowAction action;
};

// A window that loses the focus gets no more key-ups: every key it holds is released then.
constexpr std::array<WindowEventAction, 9> kWindowEventActions = {{
    {SDL_WINDOWEVENT_SIZE_CHANGED, WindowAction::Show},
    {SDL_WINDOWEVENT_SIZE_CHANGED, WindowAction::Repaint},
    {SDL_WINDOWEVENT_EXPOSED, WindowAction::Repaint},
    {SDL_WINDOWEVENT_LEAVE, WindowAction::PointerLeft},
    {SDL_WINDOWEVENT_RESTORED, WindowAction::Show},
    {SDL_WINDOWEVENT_MAXIMIZED, WindowAction::Show},
    {SDL_WINDOWEVENT_MINIMIZED, WindowAction::Hide},
    {SDL_WINDOWEVENT_CLOSE, WindowAction::Quit},
    {SDL_WINDOWEVENT_FOCUS_LOST, WindowAction::ReleaseKeys},
}};

// A press acts only without Alt (Alt+F4 quits) and, on the keypad, with NumLock off. A release
// clears its key whatever the modifiers and NumLock say by now: they may have changed while
// the key was held, and a release that did not count would leave the key held for good.
void handleKey(RenderWindow* const w, const SDL_KeyboardEvent& event) {
    ShowKey showKey;
    if (event.type == SDL_KEYUP) {
        SDL_Keysym released = event.keysym;
        released.mod = KMOD_NONE;
        if (showKeyFor(released, &showKey)) {
            releaseShowKey(&w->keys, showKey);
        }
        return;
    }
    if ((event.keysym.mod & KMOD_ALT) != 0) {
        if (event.keysym.sym == SDLK_F4) {
            requestQuit(w);
        }
        return;
    }
    if (showKeyFor(event.keysym, &showKey)) {
        pressShowKey(&w->keys, showKey, event.repeat != 0);
    }
}

void handleWindowEvent(RenderWindow* const w, const Uint8 event, const int drawableWidth,
                       const int drawableHeight) {
    for (const WindowEventAction& entry : kWindowEventActions) {
        if (entry.event != event) {
            continue;
        }
        switch (entry.action) {
        case WindowAction::Show:
            w->visible = 1;
            w->drawableWidth = drawableWidth;
            w->drawableHeight = drawableHeight;
            break;
        case WindowAction::Hide:
            w->visible = 0;
            break;
        case WindowAction::Quit:
            requestQuit(w);
            break;
        case WindowAction::ReleaseKeys:
            releaseShowKeys(&w->keys);
            break;
        case WindowAction::Repaint:
            w->repaintRequested = true;
            break;
        case WindowAction::PointerLeft:
            w->pointerInside = false;
            w->pointerMoved = true;
            break;
        }
    }
}

} // namespace

bool showKeyFor(const SDL_Keysym& key, ShowKey* const out) {
    const bool numLock = (key.mod & KMOD_NUM) != 0;
    for (const SdlKeyBinding& binding : kSdlKeys) {
        if (binding.key == key.sym && !(binding.keypad && numLock)) {
            *out = binding.showKey;
            return true;
        }
    }
    return false;
}

void handleEvent(RenderWindow* const w, const SDL_Event& event, const int drawableWidth,
                 const int drawableHeight) {
    if (event.type == SDL_QUIT) {
        requestQuit(w);
    } else if ((event.type == SDL_KEYDOWN || event.type == SDL_KEYUP) &&
               event.key.windowID == w->windowId) {
        handleKey(w, event.key);
    } else if (event.type == SDL_WINDOWEVENT && event.window.windowID == w->windowId) {
        handleWindowEvent(w, event.window.event, drawableWidth, drawableHeight);
    } else if (event.type == SDL_MOUSEMOTION && event.motion.windowID == w->windowId) {
        w->pointerX = event.motion.x;
        w->pointerY = event.motion.y;
        w->pointerInside = true;
        w->pointerMoved = true;
    } else if ((event.type == SDL_MOUSEBUTTONDOWN || event.type == SDL_MOUSEBUTTONUP) &&
               event.button.windowID == w->windowId && event.button.button == SDL_BUTTON_LEFT) {
        w->pointerX = event.button.x;
        w->pointerY = event.button.y;
        w->pointerInside = true;
        (event.type == SDL_MOUSEBUTTONDOWN ? w->buttonPresses : w->buttonReleases) += 1;
    }
}

void requestQuit(RenderWindow* const w) {
    w->quitRequested = true;
    keepRunning = 0;
}

void requestFullScreenToggle(RenderWindow* const w) {
    w->fullScreenSwitchRequested = true;
}

bool windowFinished(RenderWindow* const w) {
    const bool quit = w->quitRequested;
    const bool toggle = w->fullScreenSwitchRequested;
    w->quitRequested = false;
    w->fullScreenSwitchRequested = false;
    if (quit) {
        return true;
    }
    if (toggle) {
        fullScreenWanted = fullScreenWanted == 1 ? 0 : 1;
    }
    return toggle;
}

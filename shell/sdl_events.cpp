#include "shell/sdl_events.h"

#include <array>

namespace {

struct KeyCode {
    SDL_Keycode key;
    unsigned virtualKey;
};

// Keys whose virtual-key code is not their ASCII code.
constexpr std::array<KeyCode, 68> kKeyTable = {{
    {SDLK_BACKSPACE, 8},      {SDLK_TAB, 9},
    {SDLK_RETURN, 13},        {SDLK_KP_ENTER, 13},
    {SDLK_LSHIFT, 16},        {SDLK_RSHIFT, 16},
    {SDLK_LCTRL, 17},         {SDLK_RCTRL, 17},
    {SDLK_LALT, 18},          {SDLK_RALT, 18},
    {SDLK_PAUSE, 19},         {SDLK_CAPSLOCK, 20},
    {SDLK_ESCAPE, 27},        {SDLK_SPACE, 32},
    {SDLK_PAGEUP, 33},        {SDLK_PAGEDOWN, 34},
    {SDLK_END, 35},           {SDLK_HOME, 36},
    {SDLK_LEFT, 37},          {SDLK_UP, 38},
    {SDLK_RIGHT, 39},         {SDLK_DOWN, 40},
    {SDLK_PRINTSCREEN, 44},   {SDLK_INSERT, 45},
    {SDLK_DELETE, 46},        {SDLK_LGUI, 91},
    {SDLK_RGUI, 92},          {SDLK_APPLICATION, 93},
    {SDLK_KP_0, 96},          {SDLK_KP_1, 97},
    {SDLK_KP_2, 98},          {SDLK_KP_3, 99},
    {SDLK_KP_4, 100},         {SDLK_KP_5, 101},
    {SDLK_KP_6, 102},         {SDLK_KP_7, 103},
    {SDLK_KP_8, 104},         {SDLK_KP_9, 105},
    {SDLK_KP_MULTIPLY, 106},  {SDLK_KP_PLUS, 107},
    {SDLK_KP_MINUS, 109},     {SDLK_KP_PERIOD, 110},
    {SDLK_KP_DIVIDE, 111},    {SDLK_NUMLOCKCLEAR, 144},
    {SDLK_SCROLLLOCK, 145},   {SDLK_SEMICOLON, 186},
    {SDLK_EQUALS, 187},       {SDLK_COMMA, 188},
    {SDLK_MINUS, 189},        {SDLK_PERIOD, 190},
    {SDLK_SLASH, 191},        {SDLK_BACKQUOTE, 192},
    {SDLK_LEFTBRACKET, 219},  {SDLK_BACKSLASH, 220},
    {SDLK_RIGHTBRACKET, 221}, {SDLK_QUOTE, 222},
    {SDLK_F1, 112},           {SDLK_F2, 113},
    {SDLK_F3, 114},           {SDLK_F4, 115},
    {SDLK_F5, 116},           {SDLK_F6, 117},
    {SDLK_F7, 118},           {SDLK_F8, 119},
    {SDLK_F9, 120},           {SDLK_F10, 121},
    {SDLK_F11, 122},          {SDLK_F12, 123},
}};

// The keypad keys that double as navigation keys: while NumLock is off they are these keys
// (the arrows among them), while it is on the digits and the decimal point of the table above.
constexpr std::array<KeyCode, 11> kKeypadNavigation = {{
    {SDLK_KP_0, 45},      // Insert
    {SDLK_KP_1, 35},      // End
    {SDLK_KP_2, 40},      // Down
    {SDLK_KP_3, 34},      // Page Down
    {SDLK_KP_4, 37},      // Left
    {SDLK_KP_5, 12},      // Clear
    {SDLK_KP_6, 39},      // Right
    {SDLK_KP_7, 36},      // Home
    {SDLK_KP_8, 38},      // Up
    {SDLK_KP_9, 33},      // Page Up
    {SDLK_KP_PERIOD, 46}, // Delete
}};

constexpr unsigned kVirtualKeyF13 = 124;
constexpr unsigned kNoVirtualKey = 256;

bool isSystemKey(const SDL_KeyboardEvent& key) {
    const SDL_Keycode sym = key.keysym.sym;
    return (key.keysym.mod & KMOD_ALT) != 0 || sym == SDLK_LALT || sym == SDLK_RALT ||
           sym == SDLK_F10;
}

bool translateWindowEvent(const SDL_WindowEvent& event, const EventTarget& target,
                          Message* const out) {
    const LPARAM size = makeLParam(static_cast<unsigned>(target.drawableWidth),
                                   static_cast<unsigned>(target.drawableHeight));
    switch (event.event) {
    case SDL_WINDOWEVENT_SIZE_CHANGED:
    case SDL_WINDOWEVENT_RESTORED:
        *out = Message{target.window, WM_SIZE, SIZE_RESTORED, size};
        return true;
    case SDL_WINDOWEVENT_MAXIMIZED:
        *out = Message{target.window, WM_SIZE, SIZE_MAXIMIZED, size};
        return true;
    case SDL_WINDOWEVENT_MINIMIZED:
        *out = Message{target.window, WM_SIZE, SIZE_MINIMIZED, 0};
        return true;
    case SDL_WINDOWEVENT_CLOSE:
        *out = Message{target.window, WM_CLOSE, 0, 0};
        return true;
    default:
        return false;
    }
}

} // namespace

unsigned virtualKeyFor(const SDL_Keycode key, const SDL_Scancode scancode, const Uint16 mod) {
    if ((mod & KMOD_NUM) == 0) {
        for (const KeyCode& entry : kKeypadNavigation) {
            if (entry.key == key) {
                return entry.virtualKey;
            }
        }
    }
    if (key >= SDLK_a && key <= SDLK_z) {
        return static_cast<unsigned>(key - SDLK_a) + 'A';
    }
    if (key >= SDLK_0 && key <= SDLK_9) {
        return static_cast<unsigned>(key);
    }
    if (key >= SDLK_F13 && key <= SDLK_F24) {
        return static_cast<unsigned>(key - SDLK_F13) + kVirtualKeyF13;
    }
    for (const KeyCode& entry : kKeyTable) {
        if (entry.key == key) {
            return entry.virtualKey;
        }
    }
    return kNoVirtualKey + static_cast<unsigned>(scancode);
}

bool translateEvent(const SDL_Event& event, const EventTarget& target, Message* const out) {
    switch (event.type) {
    case SDL_KEYDOWN:
    case SDL_KEYUP: {
        if (event.key.windowID != target.windowId) {
            return false;
        }
        const bool down = event.type == SDL_KEYDOWN;
        const bool system = isSystemKey(event.key);
        const unsigned message =
            system ? (down ? WM_SYSKEYDOWN : WM_SYSKEYUP) : (down ? WM_KEYDOWN : WM_KEYUP);
        // lParam: repeat count 1, bit 30 set for an auto-repeat, bit 31 set for a release.
        const LPARAM flags = 1 | (event.key.repeat != 0 ? (1 << 30) : 0) |
                             (down ? 0 : static_cast<LPARAM>(1u << 31));
        *out = Message{
            target.window, message,
            virtualKeyFor(event.key.keysym.sym, event.key.keysym.scancode, event.key.keysym.mod),
            flags};
        return true;
    }
    case SDL_WINDOWEVENT:
        if (event.window.windowID != target.windowId) {
            return false;
        }
        return translateWindowEvent(event.window, target, out);
    case SDL_QUIT:
        *out = Message{target.window, WM_CLOSE, 0, 0};
        return true;
    default:
        return false;
    }
}

void pumpEvents(const WindowHandle window) {
    EventTarget target;
    target.window = window;
    target.windowId = SDL_GetWindowID(window);
    SDL_Event event;
    while (SDL_PollEvent(&event) != 0) {
        SDL_GL_GetDrawableSize(window, &target.drawableWidth, &target.drawableHeight);
        Message message;
        if (translateEvent(event, target, &message)) {
            postMessage(message.window, message.message, message.wParam, message.lParam);
        }
    }
}

#pragma once
// The window messages of the shell: a small posted-message queue in the manner of a desktop
// window system. SDL events are translated into these messages (sdl_events.h); the window
// procedure (window_proc.h) reacts to them; the main loop takes them one at a time.
#include <cstdint>

struct SDL_Window;

using WindowHandle = SDL_Window*;
using WPARAM = std::uintptr_t;
using LPARAM = std::intptr_t;
using LRESULT = std::intptr_t;

// Message numbers.
inline constexpr unsigned WM_CREATE = 0x0001;
inline constexpr unsigned WM_SIZE = 0x0005;
inline constexpr unsigned WM_CLOSE = 0x0010;
inline constexpr unsigned WM_QUIT = 0x0012;
inline constexpr unsigned WM_KEYDOWN = 0x0100;
inline constexpr unsigned WM_KEYUP = 0x0101;
inline constexpr unsigned WM_SYSKEYDOWN = 0x0104;
inline constexpr unsigned WM_SYSKEYUP = 0x0105;
inline constexpr unsigned WM_INITDIALOG = 0x0110;
inline constexpr unsigned WM_COMMAND = 0x0111;
inline constexpr unsigned WM_SYSCOMMAND = 0x0112;
inline constexpr unsigned WM_USER = 0x0400;
// The private message that flips full screen and ends the current window.
inline constexpr unsigned MSG_FLIP_FULLSCREEN = WM_USER + 1;

// WM_SIZE kinds (wParam).
inline constexpr WPARAM SIZE_RESTORED = 0;
inline constexpr WPARAM SIZE_MINIMIZED = 1;
inline constexpr WPARAM SIZE_MAXIMIZED = 2;

// WM_SYSCOMMAND requests that are refused while the show runs.
inline constexpr WPARAM SC_SCREENSAVE = 0xF140;
inline constexpr WPARAM SC_MONITORPOWER = 0xF170;

struct Message {
    WindowHandle window = nullptr;
    unsigned message = 0;
    WPARAM wParam = 0;
    LPARAM lParam = 0;
};

// The low and high 16 bits of a message parameter, and the two packed together.
inline unsigned loWord(const std::uintptr_t value) {
    return static_cast<unsigned>(value & 0xFFFFu);
}
inline unsigned hiWord(const std::uintptr_t value) {
    return static_cast<unsigned>((value >> 16) & 0xFFFFu);
}
inline LPARAM makeLParam(const unsigned low, const unsigned high) {
    return static_cast<LPARAM>((low & 0xFFFFu) | ((high & 0xFFFFu) << 16));
}

// Appends a message for `window` to the queue. Returns false (and drops it) only when the
// queue is full, which a running show never reaches.
bool postMessage(WindowHandle window, unsigned message, WPARAM wParam, LPARAM lParam);

// Takes the oldest message addressed to `window`; false when there is none.
bool peekMessage(Message* out, WindowHandle window);

// Drops every queued message addressed to `window` (it is being destroyed).
void discardMessages(WindowHandle window);

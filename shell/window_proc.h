#pragma once
// The window record, the key state and the window procedure that turns window messages into
// key flags, the visibility flag, quit requests and the full-screen toggle.
#include <array>
#include <cstdint>

#include "render/picture_target.h"
#include "shell/messages.h"

// 256 key-down flags indexed by virtual-key code: 1 while the key is down, 0 while it is up.
using KeyState = std::array<std::int32_t, 256>;

// The application's identity for its windows.
struct AppInfo {
    const char* className = nullptr;
};

// The one window of the program and the state that comes with it.
struct RenderWindow {
    KeyState* keyFlags = nullptr;
    // 1 for every key that went down since the last frame polled the keys, even if it is up
    // again: a tap between two frames still acts once. Set by WM_KEYDOWN, cleared by the poll.
    KeyState keyPresses{};
    WindowHandle window = nullptr; // null while no window exists
    void* renderContext = nullptr; // the window's GL context; null while none
    AppInfo* appInfo = nullptr;
    const char* title = nullptr;
    std::int32_t width = 0;      // requested client width (800)
    std::int32_t height = 0;     // requested client height (600)
    std::int32_t colorDepth = 0; // bits per pixel (32)
    std::int32_t fullScreen = 0; // 1: full-screen window; 0: ordinary window
    std::int32_t visible = 0;    // 1: frames are drawn; 0: minimised, the loop waits
    std::uint32_t previousTick = 0;
    // The 800 x 600 picture the show draws into, one per GL context, and the size in pixels
    // of the window's drawable it is shown in (kept up to date by WM_SIZE).
    PictureTarget picture;
    std::int32_t drawableWidth = 0;
    std::int32_t drawableHeight = 0;
};

// The program's one window record.
extern RenderWindow renderWindow;

// Virtual-key codes the shell itself refers to.
inline constexpr int VK_ESCAPE = 27;
inline constexpr int VK_LEFT = 37;
inline constexpr int VK_UP = 38;
inline constexpr int VK_RIGHT = 39;
inline constexpr int VK_DOWN = 40;
inline constexpr int VK_F1 = 112;
inline constexpr int VK_F4 = 115;

// 1 while the outer loop is to make another window after the current one; requestQuit clears it.
extern std::int32_t keepRunning;
// The full-screen state the next window is created with; MSG_FLIP_FULLSCREEN flips it.
extern std::int32_t fullScreenWanted;

// What WM_CREATE's lParam points to: the creation parameter given when the window was made.
struct CreateStruct {
    void* createParams = nullptr;
};

// The record a window belongs to, as stored by WM_CREATE; null for an unknown window.
RenderWindow* windowUserData(WindowHandle window);
void setWindowUserData(WindowHandle window, RenderWindow* record);

// The window procedure.
LRESULT renderWindowProc(WindowHandle window, unsigned message, WPARAM wParam, LPARAM lParam);

// The processing every message gets when the procedure does not handle it: Alt+F4 asks the
// window to close; everything else is ignored.
LRESULT defaultWindowProc(WindowHandle window, unsigned message, WPARAM wParam, LPARAM lParam);

// Posts WM_QUIT to the record's window and clears keepRunning: the whole program ends.
void requestQuit(RenderWindow* w);
// Posts MSG_FLIP_FULLSCREEN to the record's window.
void requestFullScreenToggle(RenderWindow* w);

// Called by WM_SIZE with the new drawable size in pixels: the picture is shown scaled into it.
void resizePresentation(RenderWindow* w, int drawableWidth, int drawableHeight);

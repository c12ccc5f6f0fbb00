#include "shell/window_proc.h"

#include <array>

RenderWindow renderWindow;
std::int32_t keepRunning = 0;
std::int32_t fullScreenWanted = 0;

namespace {

// Window handle to record, as stored by WM_CREATE. The program has one window at a time; a
// few slots cover a window being torn down while the next is made.
struct WindowSlot {
    WindowHandle window = nullptr;
    RenderWindow* record = nullptr;
};
std::array<WindowSlot, 4> windowSlots;

} // namespace

RenderWindow* windowUserData(const WindowHandle window) {
    for (const WindowSlot& slot : windowSlots) {
        if (window != nullptr && slot.window == window) {
            return slot.record;
        }
    }
    return nullptr;
}

void setWindowUserData(const WindowHandle window, RenderWindow* const record) {
    for (WindowSlot& slot : windowSlots) {
        if (slot.window == window) {
            slot.record = record;
            if (record == nullptr) {
                slot.window = nullptr;
            }
            return;
        }
    }
    if (record == nullptr) {
        return;
    }
    for (WindowSlot& slot : windowSlots) {
        if (slot.window == nullptr) {
            slot = WindowSlot{window, record};
            return;
        }
    }
}

void resizePresentation(RenderWindow* const w, const int drawableWidth, const int drawableHeight) {
    w->drawableWidth = drawableWidth;
    w->drawableHeight = drawableHeight;
}

LRESULT defaultWindowProc(const WindowHandle window, const unsigned message, const WPARAM wParam,
                          LPARAM) {
    if (message == WM_SYSKEYDOWN && wParam == VK_F4) {
        postMessage(window, WM_CLOSE, 0, 0);
    }
    return 0;
}

void requestQuit(RenderWindow* const w) {
    postMessage(w->window, WM_QUIT, 0, 0);
    keepRunning = 0;
}

void requestFullScreenToggle(RenderWindow* const w) {
    postMessage(w->window, MSG_FLIP_FULLSCREEN, 0, 0);
}

LRESULT renderWindowProc(const WindowHandle window, const unsigned message, const WPARAM wParam,
                         const LPARAM lParam) {
    RenderWindow* const w = windowUserData(window);
    if (message == WM_CREATE) {
        const auto* const create = reinterpret_cast<const CreateStruct*>(lParam);
        setWindowUserData(window, static_cast<RenderWindow*>(create->createParams));
        return 0;
    }
    if (message == MSG_FLIP_FULLSCREEN) {
        fullScreenWanted = fullScreenWanted == 1 ? 0 : 1;
        postMessage(window, WM_QUIT, 0, 0);
        return defaultWindowProc(window, message, wParam, lParam);
    }
    if (w == nullptr) {
        // Nothing to act on before WM_CREATE has tied the window to its record.
        return defaultWindowProc(window, message, wParam, lParam);
    }
    switch (message) {
    case WM_SIZE:
        if (wParam == SIZE_RESTORED || wParam == SIZE_MAXIMIZED) {
            w->visible = 1;
            resizePresentation(w, static_cast<int>(loWord(static_cast<std::uintptr_t>(lParam))),
                               static_cast<int>(hiWord(static_cast<std::uintptr_t>(lParam))));
            return 0;
        }
        if (wParam == SIZE_MINIMIZED) {
            w->visible = 0;
            return 0;
        }
        break;
    case WM_CLOSE:
        requestQuit(w);
        return 0;
    case WM_KEYDOWN:
    case WM_KEYUP:
        if (wParam <= 255) {
            (*w->keyFlags)[wParam] = message == WM_KEYDOWN ? 1 : 0;
            if (message == WM_KEYDOWN) {
                w->keyPresses[wParam] = 1;
            }
            return 0;
        }
        break;
    case WM_SYSCOMMAND:
        if (wParam == SC_SCREENSAVE || wParam == SC_MONITORPOWER) {
            return 0;
        }
        break;
    default:
        break;
    }
    return defaultWindowProc(window, message, wParam, lParam);
}

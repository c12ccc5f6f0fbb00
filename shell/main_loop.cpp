#include "shell/main_loop.h"

#include <SDL.h>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "demo/frame.h"
#include "demo/music.h"
#include "render/sprite.h"
#include "shell/demo_hooks.h"
#include "shell/gl_window.h"
#include "shell/sdl_events.h"

namespace {

// The show has passed its end: stop the sound (its thread has ended before anything it reads
// is freed), give the desktop back and end the process.
void endShow() {
    resetMusic();
    destroyRenderWindow(&renderWindow);
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
    std::exit(0);
}

void runFrame(RenderWindow* const w) {
    const std::uint32_t now = SDL_GetTicks();
    demoUpdate(now - w->previousTick);
    w->previousTick = now;
    demoDraw();
    presentFrame(w);
}

// The inner loop: ends when WM_QUIT arrives for the window.
void runWindow(RenderWindow* const w) {
    Message message;
    for (;;) {
        if (peekWindowMessage(&message, w->window)) {
            if (message.message == WM_QUIT) {
                return;
            }
            renderWindowProc(message.window, message.message, message.wParam, message.lParam);
        } else if (w->visible == 1) {
            runFrame(w);
        } else {
            SDL_WaitEvent(nullptr);
        }
    }
}

} // namespace

bool peekWindowMessage(Message* const out, const WindowHandle window) {
    pumpEvents(window);
    return peekMessage(out, window);
}

int winMain(bool (*const settingsDialog)()) {
    static AppInfo appInfo;
    static KeyState keys;
    appInfo.className = "OpenGL";
    renderWindow = RenderWindow{};
    renderWindow.keyFlags = &keys;
    renderWindow.appInfo = &appInfo;
    keys.fill(0);
    renderWindow.title = "Vellomire Engine";
    renderWindow.width = 800;
    renderWindow.height = 600;
    renderWindow.colorDepth = 32;
    renderWindow.fullScreen = 1;

    std::string noDisplay;
    if (openDisplay(&noDisplay)) {
        settingsDialog();
    } else {
        std::fprintf(stderr, "vellomire: cannot open a window: %s\n", noDisplay.c_str());
    }
    if (registerAppClass(&appInfo) == 0) {
        showError("Error Registering Window Class!");
        return -1;
    }
    setShowEndHandler(endShow);
    setSpriteDrawing(SpriteDrawing::Batched);
    keepRunning = 1;
    fullScreenWanted = renderWindow.fullScreen;
    for (;;) {
        renderWindow.fullScreen = fullScreenWanted;
        if (createRenderWindow(&renderWindow) != 1) {
            showError("Error Creating OpenGL Window");
            keepRunning = 0;
            break;
        }
        demoInit(&renderWindow, &keys);
        runWindow(&renderWindow);
        demoShutdown();
        destroyRenderWindow(&renderWindow);
        if (keepRunning == 0) {
            break;
        }
    }
    unregisterAppClass(&appInfo);
    return 0;
}

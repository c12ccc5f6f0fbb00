#include "shell/gl_window.h"

#include <SDL.h>
#include <cstdio>
#include <cstring>
#include <string>

#include "draw/draw.h"
#include "platform/gl.h"
#include "render/viewport.h"
#include "shell/presentation.h"

namespace {

bool displayOpen = false;

// Swap intervals to try in turn: adaptive vsync, vsync, none.
constexpr int kSwapIntervals[] = {-1, 1, 0};

// The contexts the show can draw with, in the order they are tried: OpenGL ES 3.0, then a
// desktop 3.3 core context, which runs the same shaders under its own version line.
struct ContextKind {
    int profile;
    int major;
    int minor;
};
constexpr ContextKind kContextKinds[] = {
    {SDL_GL_CONTEXT_PROFILE_ES, 3, 0},
    {SDL_GL_CONTEXT_PROFILE_CORE, 3, 3},
};

void setGlAttributes(const RenderWindow& w, const ContextKind& kind) {
    const int channelBits = w.colorDepth >= 24 ? 8 : 5;
    SDL_GL_ResetAttributes();
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, kind.major);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, kind.minor);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, kind.profile);
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
    SDL_GL_SetAttribute(SDL_GL_RED_SIZE, channelBits);
    SDL_GL_SetAttribute(SDL_GL_GREEN_SIZE, channelBits);
    SDL_GL_SetAttribute(SDL_GL_BLUE_SIZE, channelBits);
    SDL_GL_SetAttribute(SDL_GL_ALPHA_SIZE, 0);
    SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 16);
    SDL_GL_SetAttribute(SDL_GL_STENCIL_SIZE, 0);
}

SDL_Window* createSdlWindow(const RenderWindow& w, const Uint32 modeFlags) {
    const Uint32 flags =
        SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN | SDL_WINDOW_ALLOW_HIGHDPI | modeFlags;
    return SDL_CreateWindow(w.title, SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, w.width,
                            w.height, flags);
}

// The window in the record's mode; a failed full-screen window falls back to an ordinary one.
SDL_Window* createModeWindow(RenderWindow* const w) {
    if (w->fullScreen == 1) {
        SDL_Window* const window = createSdlWindow(*w, SDL_WINDOW_FULLSCREEN_DESKTOP);
        if (window != nullptr) {
            SDL_ShowCursor(SDL_DISABLE);
            return window;
        }
        showError("Mode Switch Failed.\nRunning In Windowed Mode.");
        w->fullScreen = 0;
    }
    return createSdlWindow(*w, SDL_WINDOW_RESIZABLE);
}

void setSwapInterval() {
    for (const int interval : kSwapIntervals) {
        if (SDL_GL_SetSwapInterval(interval) == 0) {
            return;
        }
    }
}

// Releases what createRenderWindow had acquired when a later step fails.
int abandonWindow(RenderWindow* const w) {
    destroyRenderWindow(w);
    return 0;
}

// True for the SDL video drivers that show nothing.
bool isInvisibleVideoDriver(const char* const driverName) {
    return driverName == nullptr || std::strcmp(driverName, "offscreen") == 0 ||
           std::strcmp(driverName, "dummy") == 0;
}

} // namespace

bool openDisplay(std::string* const reason) {
    if (SDL_InitSubSystem(SDL_INIT_VIDEO | SDL_INIT_EVENTS) != 0) {
        *reason = std::string("SDL video could not start: ") + SDL_GetError();
        return false;
    }
    const char* const driver = SDL_GetCurrentVideoDriver();
    if (isInvisibleVideoDriver(driver)) {
        *reason = std::string("no display: SDL chose its invisible '") +
                  (driver != nullptr ? driver : "none") +
                  "' video driver (is DISPLAY or WAYLAND_DISPLAY set?)";
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
        return false;
    }
    displayOpen = true;
    return true;
}

void showError(const char* const text) {
    std::fprintf(stderr, "vellomire: Error: %s\n", text);
    std::fflush(stderr);
    if (displayOpen) {
        SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_WARNING, "Error", text, nullptr);
    }
}

// A window in the record's mode with a current context of `kind`; false (nothing left
// behind) when either cannot be made.
bool createContextWindow(RenderWindow* const w, const ContextKind& kind) {
    setGlAttributes(*w, kind);
    w->window = createModeWindow(w);
    if (w->window == nullptr) {
        return false;
    }
    w->windowId = SDL_GetWindowID(w->window);
    w->renderContext = SDL_GL_CreateContext(w->window);
    if (w->renderContext == nullptr || SDL_GL_MakeCurrent(w->window, w->renderContext) != 0) {
        destroyRenderWindow(w);
        return false;
    }
    return true;
}

int createRenderWindow(RenderWindow* const w) {
    bool created = false;
    for (const ContextKind& kind : kContextKinds) {
        if (!created) {
            created = createContextWindow(w, kind);
        }
    }
    // What was asked for goes to standard error; the caller shows the error box.
    if (!created) {
        std::fprintf(stderr,
                     "vellomire: neither an OpenGL ES 3.0 context nor a desktop OpenGL 3.3 core "
                     "one can be made for the window: %s\n",
                     SDL_GetError());
        return 0;
    }
    std::string drawingError;
    if (!draw::openDrawing(&drawingError)) {
        std::fprintf(stderr, "vellomire: %s\n", drawingError.c_str());
        return abandonWindow(w);
    }
    if (!createPictureTarget(&w->picture)) {
        return abandonWindow(w);
    }
    setSwapInterval();

    SDL_ShowWindow(w->window);
    SDL_RaiseWindow(w->window);
    SDL_DisableScreenSaver();
    w->visible = 1;
    resizeViewport(w->picture.size.width, w->picture.size.height);
    SDL_GL_GetDrawableSize(w->window, &w->drawableWidth, &w->drawableHeight);
    w->keys = ShowKeys{};
    w->previousTick = SDL_GetTicks();
    return 1;
}

int destroyRenderWindow(RenderWindow* const w) {
    if (w->window != nullptr) {
        if (w->renderContext != nullptr) {
            destroyPictureTarget(&w->picture);
            draw::closeDrawing();
            SDL_GL_MakeCurrent(w->window, nullptr);
            SDL_GL_DeleteContext(w->renderContext);
            w->renderContext = nullptr;
        }
        SDL_DestroyWindow(w->window);
        w->window = nullptr;
    }
    if (w->fullScreen != 0) {
        SDL_ShowCursor(SDL_ENABLE);
    }
    return 1;
}

void presentFrame(RenderWindow* const w, const HeadsUp* const headsUp) {
    presentPicture(w->picture, w->drawableWidth, w->drawableHeight, w->pixelForPixel, headsUp);
    SDL_GL_SwapWindow(w->window);
}

#include "platform/headless_gl.h"

#include <EGL/egl.h>
#include <EGL/eglext.h>
#include <cstdio>

struct HeadlessGl {
    EGLDisplay display = EGL_NO_DISPLAY;
    EGLContext context = EGL_NO_CONTEXT;
};

static EGLDisplay openSurfacelessDisplay() {
    const auto getPlatformDisplay = reinterpret_cast<PFNEGLGETPLATFORMDISPLAYEXTPROC>(
        eglGetProcAddress("eglGetPlatformDisplayEXT"));
    if (getPlatformDisplay != nullptr) {
        const EGLDisplay display =
            getPlatformDisplay(EGL_PLATFORM_SURFACELESS_MESA, EGL_DEFAULT_DISPLAY, nullptr);
        if (display != EGL_NO_DISPLAY) {
            return display;
        }
    }
    return eglGetDisplay(EGL_DEFAULT_DISPLAY);
}

static std::string hex(const EGLint value) {
    char text[16];
    std::snprintf(text, sizeof(text), "%X", static_cast<unsigned>(value));
    return text;
}

static void fail(std::string* error, const char* what) {
    if (error != nullptr) {
        *error = std::string(what) + " (EGL error 0x" + hex(eglGetError()) + ")";
    }
}

HeadlessGl* createHeadlessGl(std::string* error) {
    const EGLDisplay display = openSurfacelessDisplay();
    if (display == EGL_NO_DISPLAY || eglInitialize(display, nullptr, nullptr) != EGL_TRUE) {
        fail(error, "no EGL display");
        return nullptr;
    }
    if (eglBindAPI(EGL_OPENGL_ES_API) != EGL_TRUE) {
        fail(error, "EGL cannot bind the OpenGL ES API");
        eglTerminate(display);
        return nullptr;
    }
    const EGLint configAttributes[] = {EGL_SURFACE_TYPE, 0, EGL_RENDERABLE_TYPE, EGL_OPENGL_ES3_BIT,
                                       EGL_NONE};
    EGLConfig config = nullptr;
    EGLint configCount = 0;
    if (eglChooseConfig(display, configAttributes, &config, 1, &configCount) != EGL_TRUE ||
        configCount < 1) {
        fail(error, "no EGL config for OpenGL ES 3.0");
        eglTerminate(display);
        return nullptr;
    }
    const EGLint contextAttributes[] = {EGL_CONTEXT_MAJOR_VERSION, 3, EGL_CONTEXT_MINOR_VERSION, 0,
                                        EGL_NONE};
    const EGLContext context = eglCreateContext(display, config, EGL_NO_CONTEXT, contextAttributes);
    if (context == EGL_NO_CONTEXT) {
        fail(error, "EGL cannot create an OpenGL ES 3.0 context");
        eglTerminate(display);
        return nullptr;
    }
    if (eglMakeCurrent(display, EGL_NO_SURFACE, EGL_NO_SURFACE, context) != EGL_TRUE) {
        fail(error, "EGL cannot make the context current");
        eglDestroyContext(display, context);
        eglTerminate(display);
        return nullptr;
    }
    return new HeadlessGl{display, context};
}

void destroyHeadlessGl(HeadlessGl* gl) {
    if (gl == nullptr) {
        return;
    }
    eglMakeCurrent(gl->display, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
    eglDestroyContext(gl->display, gl->context);
    // The display stays initialised: EGL keeps one per process, a later context reuses it, and
    // terminating it would unload the GL driver while the driver's own bookkeeping is still live.
    eglReleaseThread();
    delete gl;
}

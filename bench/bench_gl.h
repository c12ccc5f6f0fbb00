#pragma once
// Shared set-up of the GL benchmarks: a headless context with the 800 x 600 picture target,
// the show's fixed GL state, and plain white textures standing in for the data files.
#include <cstdio>
#include <string>
#include <vector>

#include "demo/startup.h"
#include "draw/draw.h"
#include "platform/gl.h"
#include "platform/headless_gl.h"
#include "render/picture_target.h"
#include "render/viewport.h"

// A white RGBA texture of size x size texels with nearest filtering, bound to `*name`.
inline void makeWhiteTexture(unsigned int* const name, const int size) {
    const std::vector<unsigned char> white(static_cast<std::size_t>(size) * size * 4, 255);
    glGenTextures(1, name);
    glBindTexture(GL_TEXTURE_2D, *name);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, size, size, 0, GL_RGBA, GL_UNSIGNED_BYTE,
                 white.data());
}

// Makes the context once per program and runs `prepare` in it; false when there is none.
inline bool ensureBenchContext(void (*const prepare)()) {
    static bool ready = false;
    static bool tried = false;
    if (!tried) {
        tried = true;
        std::string error;
        static PictureTarget target;
        if (createHeadlessGl(&error) == nullptr || !draw::openDrawing(&error) ||
            !createPictureTarget(&target)) {
            std::fprintf(stderr, "no headless GL: %s\n", error.c_str());
            return false;
        }
        resizeViewport(pictureSize().width, pictureSize().height);
        initGlState();
        prepare();
        ready = true;
    }
    return ready;
}

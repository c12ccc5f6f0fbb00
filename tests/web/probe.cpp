// The web build's platform stand-ins driven through the show's own music and texture code,
// for the page tests (probe.html): the spectrum at a stepped clock, the clock of the music
// playing through Web Audio and its seeks, and the texels of a loaded picture.
#include <emscripten/emscripten.h>
#include <emscripten/html5.h>

#include <vector>

#include "demo/music.h"
#include "platform/gl.h"
#include "platform/png_texture.h"
#include "platform/sound.h"

// The music as the show starts it, on the page's audio output; the track's length in ms.
extern "C" EMSCRIPTEN_KEEPALIVE int probeStartMusic() {
    startMusic();
    activateSpectrum();
    return musicTrackLengthMs();
}

// The music on the stepped clock (as the render tool runs it); the track's length in ms.
extern "C" EMSCRIPTEN_KEEPALIVE int probeOpenStepped() {
    soundSetOutput(kSoundOutputStepped);
    return probeStartMusic();
}

// The 64 values the show copies at clock `seconds` of the stepped output.
extern "C" EMSCRIPTEN_KEEPALIVE const float* probeSpectrumAt(const double seconds) {
    soundSetSteppedTime(seconds);
    copySpectrum();
    return Spectrum;
}

// The clock as a frame reads it, in seconds.
extern "C" EMSCRIPTEN_KEEPALIVE double probeClock() {
    readMusicClock();
    return MusicClock;
}

extern "C" EMSCRIPTEN_KEEPALIVE void probeSeek(const float milliseconds) {
    seekMusic(milliseconds);
}

// The sum of the 64 spectrum values at the clock the music is at now.
extern "C" EMSCRIPTEN_KEEPALIVE double probeSpectrumSum() {
    copySpectrum();
    double sum = 0.0;
    for (const float value : Spectrum) {
        sum += value;
    }
    return sum;
}

// The texels of the texture the show's loader makes of the picture at `path`, read back
// through a framebuffer: width x height x 4 bytes, texture row 0 (the file's top row) first.
// Null when the loader made no texture.
extern "C" EMSCRIPTEN_KEEPALIVE const unsigned char*
probeTexels(const char* const path, int* const width, int* const height) {
    static EMSCRIPTEN_WEBGL_CONTEXT_HANDLE context = 0;
    static std::vector<unsigned char> texels;
    if (context == 0) {
        EmscriptenWebGLContextAttributes attributes;
        emscripten_webgl_init_context_attributes(&attributes);
        attributes.majorVersion = 2;
        context = emscripten_webgl_create_context("#canvas", &attributes);
        emscripten_webgl_make_context_current(context);
    }
    PngInfo info;
    const GLuint texture =
        pngBind(path, kPngNoMipmap, kPngAlpha, &info, GL_REPEAT, GL_NEAREST, GL_NEAREST);
    if (texture == 0) {
        return nullptr;
    }
    GLuint framebuffer = 0;
    glGenFramebuffers(1, &framebuffer);
    glBindFramebuffer(GL_FRAMEBUFFER, framebuffer);
    glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, texture, 0);
    *width = static_cast<int>(info.width);
    *height = static_cast<int>(info.height);
    texels.assign(static_cast<std::size_t>(*width) * *height * 4, 0);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, *width, *height, GL_RGBA, GL_UNSIGNED_BYTE, texels.data());
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    glDeleteFramebuffers(1, &framebuffer);
    glDeleteTextures(1, &texture);
    return texels.data();
}

// Values of the native build that the web build must reproduce:
//   web_native_values spectrum T...   the show's 64 spectrum values at each clock T (seconds),
//                                     one line each, through the stepped sound output
//   web_native_values texels FILE     the PNG's texels as the native loader decodes them (libpng,
//                                     8-bit RGBA, top row first), raw on standard output
// Run from the repository's folder (the track is data/music/track.mp3 below it).
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "demo/music.h"
#include "platform/png_decoder.h"
#include "platform/sound.h"

static int printSpectra(const int count, char** const clocks) {
    soundSetOutput(kSoundOutputStepped);
    startMusic();
    activateSpectrum();
    if (musicTrackLengthMs() == 0) {
        std::fprintf(stderr, "web_native_values: no track\n");
        return 1;
    }
    for (int i = 0; i < count; ++i) {
        soundSetSteppedTime(std::strtod(clocks[i], nullptr));
        copySpectrum();
        for (const float value : Spectrum) {
            std::printf("%.9g ", static_cast<double>(value));
        }
        std::printf("\n");
    }
    return 0;
}

static int writeTexels(const char* const path) {
    std::vector<unsigned char> rgba;
    PngInfo info;
    if (!decodePngFile(path, &rgba, &info)) {
        std::fprintf(stderr, "web_native_values: cannot decode %s\n", path);
        return 1;
    }
    std::fwrite(rgba.data(), 1, rgba.size(), stdout);
    return 0;
}

int main(const int argc, char** const argv) {
    if (argc >= 3 && std::strcmp(argv[1], "spectrum") == 0) {
        return printSpectra(argc - 2, argv + 2);
    }
    if (argc == 3 && std::strcmp(argv[1], "texels") == 0) {
        return writeTexels(argv[2]);
    }
    std::fprintf(stderr, "usage: web_native_values spectrum T... | texels FILE\n");
    return 2;
}

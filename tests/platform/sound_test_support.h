#pragma once
// Shared by the sound tests: the fixture track and the outputs to run it on.
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "platform/sound.h"

// tests/fixtures/tone.mp3: 3 s, silence for the first second, then a sine of amplitude 0.5
// exactly on spectrum bin 20 (861.33 Hz). Made by tests/fixtures/make_fixtures.sh.
inline constexpr int kToneBin = 20;
inline constexpr int kToneLengthMs = 3000;

inline std::string fixturePath(const char* const name) {
    std::string path = VELLOMIRE_SOURCE_DIR;
    path.append("/tests/fixtures/").append(name);
    return path;
}

inline std::vector<unsigned char> readFixture(const char* const name) {
    std::ifstream file(fixturePath(name), std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

// Makes the device output fall back to the silent output (no driver of that name exists), or
// run through SDL's dummy driver, which calls back in real time like a sound card.
inline void useAudioDriver(const char* const driver) {
    setenv("SDL_AUDIODRIVER", driver, 1);
}
inline void forceSilentOutput() {
    useAudioDriver("vellomire-no-such-driver");
}

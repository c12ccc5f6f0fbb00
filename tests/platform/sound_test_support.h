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
    return std::string(VELLOMIRE_SOURCE_DIR "/tests/fixtures/") + name;
}

inline std::vector<unsigned char> readFixture(const char* const name) {
    std::ifstream file(fixturePath(name), std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

// Makes the device output run through SDL's `driver`: "dummy" calls back in real time like a
// sound card; with a driver that does not exist it falls back to the silent output.
inline void useAudioDriver(const char* const driver = "vellomire-no-such-driver") {
    setenv("SDL_AUDIODRIVER", driver, 1);
}

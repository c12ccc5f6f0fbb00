// Clock quality as a show sees it: frames at 60 Hz read the play position and compare its
// steps with the wall clock's. Prints the figures; about 12 s in all.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <thread>
#include <vector>

#include "platform/sound.h"
#include "tests/platform/sound_test_support.h"

namespace {

using Clock = std::chrono::steady_clock;

struct ClockFigures {
    int frames = 0;
    int backwardSteps = 0;
    double p99DeviationMs = 0.0;
    double maxDeviationMs = 0.0;
    double driftMs = 0.0; // play position minus wall time over the whole run
    int seekErrorMs = 0;
};

// Plays the tone track on the device output (whatever driver SDL_AUDIODRIVER names) for
// `seconds` of 60 Hz frames, then seeks once.
ClockFigures measureClock(const double seconds) {
    soundSetOutput(kSoundOutputDevice);
    soundInit(44100, 32, 0);
    std::vector<unsigned char> track = readFixture("tone.mp3");
    SoundStream* const stream = soundStreamOpen(
        track.data(), kSoundModeNormal | kSoundModeLoadMemory, 0, static_cast<int>(track.size()));
    EXPECT_NE(stream, nullptr);
    soundSetPaused(soundStreamPlayEx(-1, stream, nullptr, true), false);

    ClockFigures figures;
    std::vector<double> deviations;
    const Clock::time_point start = Clock::now();
    const int firstPosition = soundStreamGetTime(stream);
    int previousPosition = firstPosition;
    Clock::time_point previousWall = start;
    Clock::time_point next = start;
    const int frames = static_cast<int>(seconds * 60.0);
    for (int frame = 0; frame < frames; ++frame) {
        next += std::chrono::microseconds(16667);
        std::this_thread::sleep_until(next);
        const Clock::time_point wall = Clock::now();
        const int position = soundStreamGetTime(stream);
        const double wallStep =
            std::chrono::duration<double, std::milli>(wall - previousWall).count();
        deviations.push_back(std::abs((position - previousPosition) - wallStep));
        figures.backwardSteps += position < previousPosition ? 1 : 0;
        previousPosition = position;
        previousWall = wall;
    }
    figures.frames = frames;
    std::sort(deviations.begin(), deviations.end());
    figures.p99DeviationMs = deviations[deviations.size() * 99 / 100];
    figures.maxDeviationMs = deviations.back();
    figures.driftMs = (previousPosition - firstPosition) -
                      std::chrono::duration<double, std::milli>(previousWall - start).count();

    soundStreamSetTime(stream, 1234);
    figures.seekErrorMs = soundStreamGetTime(stream) - 1234;
    soundReset();
    return figures;
}

void expectGoodClock(const char* const name, const ClockFigures& figures) {
    std::printf("%s: %d frames at 60 Hz, %d backward steps, step deviation from the wall clock "
                "p99 %.2f ms max %.2f ms, drift %.1f ms, seek error %d ms\n",
                name, figures.frames, figures.backwardSteps, figures.p99DeviationMs,
                figures.maxDeviationMs, figures.driftMs, figures.seekErrorMs);
    EXPECT_EQ(figures.backwardSteps, 0);
    EXPECT_LT(figures.p99DeviationMs, 2.0);
    EXPECT_GE(figures.seekErrorMs, 0);
    EXPECT_LE(figures.seekErrorMs, 1);
}

TEST(SoundClockQuality, SilentOutputOverTenSeconds) {
    soundReset();
    forceSilentOutput();
    expectGoodClock("silent output", measureClock(10.0));
    unsetenv("SDL_AUDIODRIVER");
}

TEST(SoundClockQuality, CallbackOutputOverTwoSeconds) {
    soundReset();
    useAudioDriver("dummy"); // real-time callbacks in 23 ms blocks, like a sound card
    expectGoodClock("callback output (SDL dummy driver)", measureClock(2.0));
    unsetenv("SDL_AUDIODRIVER");
}

} // namespace

// Costs of the sound stand-in on the main thread: the spectrum analysis itself, the stepped
// spectrum per frame as the render tool asks for it (sequential and after seeks), and opening
// a track (which scans it for its exact length); and the quality of the device output's clock
// as a show reads it. Run from the repository root.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <numbers>
#include <thread>
#include <vector>

#include "platform/sound.h"
#include "platform/sound_spectrum.h"

namespace {

std::vector<unsigned char> readTrack() {
    std::ifstream file("tests/fixtures/tone.mp3", std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

void computeSpectrumOnce(benchmark::State& state) {
    SpectrumAnalyser* const analyser = createSpectrumAnalyser();
    std::vector<float> samples(kSpectrumWindow);
    for (int n = 0; n < kSpectrumWindow; ++n) {
        samples[n] = static_cast<float>(std::sin(2.0 * std::numbers::pi * 20.0 * n / 1024.0));
    }
    float bins[kSpectrumBins];
    for (auto _ : state) {
        computeSpectrum(analyser, samples.data(), bins);
        benchmark::DoNotOptimize(bins);
    }
    destroySpectrumAnalyser(analyser);
}
BENCHMARK(computeSpectrumOnce);

// A fresh sound library on `output`, playing the tone held in `track`; null (and the benchmark
// skipped) when the fixture is missing.
SoundStream* playTone(benchmark::State& state, const int output,
                      std::vector<unsigned char>* const track) {
    soundReset();
    soundSetOutput(output);
    soundInit(44100, 32, 0);
    SoundStream* const stream =
        soundStreamOpen(track->data(), kSoundModeLoadMemory, 0, static_cast<int>(track->size()));
    if (stream == nullptr) {
        state.SkipWithError("tests/fixtures/tone.mp3 not found: run from the repository root");
        return nullptr;
    }
    soundSetPaused(soundStreamPlayEx(-1, stream, nullptr, true), false);
    return stream;
}

// Every iteration moves the stepped clock by `range(0)` milliseconds (33: frames at 30 Hz;
// 700: far enough to make the decoder seek) and reads the spectrum.
void steppedSpectrumPerFrame(benchmark::State& state) {
    std::vector<unsigned char> track = readTrack();
    SoundStream* const stream = playTone(state, kSoundOutputStepped, &track);
    if (stream == nullptr) {
        return;
    }
    soundDspSetActive(soundGetFftUnit(), true);
    const int lengthMs = soundStreamGetLengthMs(stream);
    const int stepMs = static_cast<int>(state.range(0));
    int ms = 0;
    for (auto _ : state) {
        ms = (ms + stepMs) % lengthMs;
        soundSetSteppedTime(ms * 0.001);
        benchmark::DoNotOptimize(soundGetSpectrum()[20]);
    }
    soundReset();
}
BENCHMARK(steppedSpectrumPerFrame)->Arg(33)->Arg(700)->Unit(benchmark::kMicrosecond);

void openTrack(benchmark::State& state) {
    soundReset();
    soundSetOutput(kSoundOutputStepped);
    soundInit(44100, 32, 0);
    std::vector<unsigned char> track = readTrack();
    for (auto _ : state) {
        SoundStream* const stream =
            soundStreamOpen(track.data(), kSoundModeLoadMemory, 0, static_cast<int>(track.size()));
        benchmark::DoNotOptimize(stream);
        state.PauseTiming();
        soundClose(); // frees it
        soundInit(44100, 32, 0);
        state.ResumeTiming();
    }
    soundReset();
}
BENCHMARK(openTrack)->Unit(benchmark::kMillisecond);

// The device output's clock read by frames at 60 Hz for range(0) seconds while the tone plays,
// without a sound card (the silent clock, range(1) = 0) and through SDL's dummy driver, which
// calls back in real time in 23 ms blocks like a sound card (range(1) = 1). Counters: how far
// a frame's clock step strays from the wall clock's (p99 and max, ms), the drift of the play
// position from the wall clock over the run (ms), the steps back, and how far a seek lands
// from its target (ms). A good clock: no step back, p99 under 2 ms, seek error 0 or 1.
void deviceClockAt60Hz(benchmark::State& state) {
    using Wall = std::chrono::steady_clock;
    setenv("SDL_AUDIODRIVER", state.range(1) != 0 ? "dummy" : "vellomire-no-such-driver", 1);
    std::vector<unsigned char> track = readTrack();
    for (auto _ : state) {
        SoundStream* const stream = playTone(state, kSoundOutputDevice, &track);
        if (stream == nullptr) {
            break;
        }
        std::vector<double> deviations;
        int backward = 0;
        const Wall::time_point start = Wall::now();
        const int first = soundStreamGetTime(stream);
        int previous = first;
        Wall::time_point previousWall = start;
        Wall::time_point next = start;
        for (int frame = 0; frame < state.range(0) * 60; ++frame) {
            next += std::chrono::microseconds(16667);
            std::this_thread::sleep_until(next);
            const Wall::time_point wall = Wall::now();
            const int position = soundStreamGetTime(stream);
            const double wallMs =
                std::chrono::duration<double, std::milli>(wall - previousWall).count();
            deviations.push_back(std::abs((position - previous) - wallMs));
            backward += position < previous ? 1 : 0;
            previous = position;
            previousWall = wall;
        }
        std::sort(deviations.begin(), deviations.end());
        state.counters["p99_ms"] = deviations[deviations.size() * 99 / 100];
        state.counters["max_ms"] = deviations.back();
        state.counters["drift_ms"] =
            (previous - first) -
            std::chrono::duration<double, std::milli>(previousWall - start).count();
        state.counters["steps_back"] = backward;
        soundStreamSetTime(stream, 1234);
        state.counters["seek_error_ms"] = soundStreamGetTime(stream) - 1234;
        soundReset();
    }
    unsetenv("SDL_AUDIODRIVER");
}
BENCHMARK(deviceClockAt60Hz)
    ->Args({10, 0})
    ->Args({2, 1})
    ->Iterations(1)
    ->Unit(benchmark::kSecond)
    ->UseRealTime();

} // namespace

BENCHMARK_MAIN();

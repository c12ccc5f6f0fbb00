// Costs of the sound stand-in on the main thread: the spectrum analysis itself, the stepped
// spectrum per frame as the render tool asks for it (sequential and after seeks), and opening
// a track (which scans it for its exact length). Run from the repository root.
#include <benchmark/benchmark.h>

#include <cmath>
#include <fstream>
#include <iterator>
#include <numbers>
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

// Every iteration moves the stepped clock by `range(0)` milliseconds (33: frames at 30 Hz;
// 700: far enough to make the decoder seek) and reads the spectrum.
void steppedSpectrumPerFrame(benchmark::State& state) {
    soundReset();
    soundSetOutput(kSoundOutputStepped);
    soundInit(44100, 32, 0);
    std::vector<unsigned char> track = readTrack();
    SoundStream* const stream =
        soundStreamOpen(track.data(), kSoundModeLoadMemory, 0, static_cast<int>(track.size()));
    if (stream == nullptr) {
        state.SkipWithError("tests/fixtures/tone.mp3 not found: run from the repository root");
        return;
    }
    soundSetPaused(soundStreamPlayEx(-1, stream, nullptr, true), false);
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

} // namespace

BENCHMARK_MAIN();

#pragma once
// The spectrum analysis: a Hann-windowed real FFT of the last kSpectrumWindow mono samples.
//
// Normalisation: bin k holds |X[k]| x 4 / kSpectrumWindow, clamped to [0, 1]. The Hann window
// has a coherent gain of 1/2, so a sine of amplitude A centred on a bin gives A in that bin: a
// full-scale sine gives 1, a sine at half scale 0.5. Bins are 44100 / 1024 (about 43 Hz) apart,
// bin 0 at 0 Hz; the Nyquist bin is dropped, leaving kSpectrumBins values.
#include "platform/sound.h"

inline constexpr int kSpectrumWindow = 1024;

struct SpectrumAnalyser; // FFT plan and window; one per thread that analyses

SpectrumAnalyser* createSpectrumAnalyser();
void destroySpectrumAnalyser(SpectrumAnalyser* analyser);

// `samples`: kSpectrumWindow mono samples, oldest first. Writes kSpectrumBins values to `bins`.
void computeSpectrum(SpectrumAnalyser* analyser, const float* samples, float* bins);

// The spectrum analysis of platform/sound_spectrum.h in the web build, where no FFT library
// is at hand: an iterative radix-2 FFT in double precision over the Hann-windowed samples,
// with the same window, normalisation and clamping as the native analysis.
#include <algorithm>
#include <cmath>
#include <complex>
#include <numbers>

#include "platform/sound_spectrum.h"

struct SpectrumAnalyser {
    float window[kSpectrumWindow];
    std::complex<double> twiddle[kSpectrumWindow / 2]; // e^(-2 pi i k / N)
    int reversed[kSpectrumWindow];                     // bit-reversed indices
    std::complex<double> data[kSpectrumWindow];
};

SpectrumAnalyser* createSpectrumAnalyser() {
    SpectrumAnalyser* const analyser = new SpectrumAnalyser;
    int bits = 0;
    while ((1 << bits) < kSpectrumWindow) {
        ++bits;
    }
    for (int n = 0; n < kSpectrumWindow; ++n) {
        // Periodic Hann: exactly 1/2 coherent gain at bin centres.
        const double phase = 2.0 * std::numbers::pi * n / kSpectrumWindow;
        analyser->window[n] = static_cast<float>(0.5 * (1.0 - std::cos(phase)));
        int r = 0;
        for (int b = 0; b < bits; ++b) {
            r |= ((n >> b) & 1) << (bits - 1 - b);
        }
        analyser->reversed[n] = r;
    }
    for (int k = 0; k < kSpectrumWindow / 2; ++k) {
        analyser->twiddle[k] = std::polar(1.0, -2.0 * std::numbers::pi * k / kSpectrumWindow);
    }
    return analyser;
}

void destroySpectrumAnalyser(SpectrumAnalyser* const analyser) {
    delete analyser;
}

void computeSpectrum(SpectrumAnalyser* const analyser, const float* const samples,
                     float* const bins) {
    std::complex<double>* const data = analyser->data;
    for (int n = 0; n < kSpectrumWindow; ++n) {
        // The windowed sample in single precision, as the native analysis feeds its FFT.
        const float windowed = samples[n] * analyser->window[n];
        data[analyser->reversed[n]] = windowed;
    }
    for (int half = 1; half < kSpectrumWindow; half *= 2) {
        const int stride = kSpectrumWindow / (2 * half);
        for (int start = 0; start < kSpectrumWindow; start += 2 * half) {
            for (int j = 0; j < half; ++j) {
                const std::complex<double> odd =
                    analyser->twiddle[j * stride] * data[start + j + half];
                data[start + j + half] = data[start + j] - odd;
                data[start + j] += odd;
            }
        }
    }
    constexpr double kScale = 4.0 / kSpectrumWindow;
    for (int k = 0; k < kSpectrumBins; ++k) {
        const float magnitude = static_cast<float>(std::abs(data[k]) * kScale);
        bins[k] = magnitude > 0.0f ? std::min(magnitude, 1.0f) : 0.0f; // NaN gives 0
    }
}

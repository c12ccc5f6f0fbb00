#include "platform/sound_spectrum.h"

#include <algorithm>
#include <cmath>
#include <kiss_fftr.h>
#include <numbers>

struct SpectrumAnalyser {
    kiss_fftr_cfg plan = nullptr;
    float window[kSpectrumWindow];
    float windowed[kSpectrumWindow];
    kiss_fft_cpx out[kSpectrumWindow / 2 + 1];
};

SpectrumAnalyser* createSpectrumAnalyser() {
    SpectrumAnalyser* const analyser = new SpectrumAnalyser;
    analyser->plan = kiss_fftr_alloc(kSpectrumWindow, 0, nullptr, nullptr);
    for (int n = 0; n < kSpectrumWindow; ++n) {
        // Periodic Hann: exactly 1/2 coherent gain at bin centres.
        const double phase = 2.0 * std::numbers::pi * n / kSpectrumWindow;
        analyser->window[n] = static_cast<float>(0.5 * (1.0 - std::cos(phase)));
    }
    return analyser;
}

void destroySpectrumAnalyser(SpectrumAnalyser* const analyser) {
    if (analyser == nullptr) {
        return;
    }
    kiss_fftr_free(analyser->plan);
    delete analyser;
}

void computeSpectrum(SpectrumAnalyser* const analyser, const float* const samples,
                     float* const bins) {
    for (int n = 0; n < kSpectrumWindow; ++n) {
        analyser->windowed[n] = samples[n] * analyser->window[n];
    }
    kiss_fftr(analyser->plan, analyser->windowed, analyser->out);
    constexpr float kScale = 4.0f / kSpectrumWindow;
    for (int k = 0; k < kSpectrumBins; ++k) {
        const float magnitude = std::hypot(analyser->out[k].r, analyser->out[k].i) * kScale;
        bins[k] = magnitude > 0.0f ? std::min(magnitude, 1.0f) : 0.0f; // NaN gives 0
    }
}

#pragma once
#include <cstdint>
#include <vector>

// The show's soundtrack, synthesised from oscillators, envelopes, filters and a small drum
// kit: A minor, 120 beats per minute, one section per scene of the show, a calm opening, a
// bass-heavy section from 73 s to 90 s and a fade to silence between 278 s and 283 s.
inline constexpr int kTrackSampleRate = 44100;
inline constexpr double kTrackSeconds = 292.0;
inline constexpr double kFadeOutStart = 278.0;
inline constexpr double kFadeOutEnd = 283.0;

struct StereoSignal {
    std::vector<float> left;
    std::vector<float> right;
};

// The whole track, kTrackSeconds long, peaks below full scale. Deterministic: the same
// samples on every run.
StereoSignal synthesizeTrack();

// A 16-bit PCM stereo WAV of the signal at kTrackSampleRate (samples clipped to -1..1).
std::vector<std::uint8_t> encodeWav16(const StereoSignal& signal);

#pragma once

// The first 64 values of the music's spectrum, lowest band first, copied by the music at the
// end of every frame (copySpectrum); zeros before the first copy.
inline float Spectrum[64] = {};

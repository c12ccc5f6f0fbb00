#include "platform/sound.h"

// Placeholder until the decoding stand-in lands: a silent stream that never advances.
static float silentSpectrum[kSpectrumBins] = {};
static double steppedSeconds = 0.0;

bool soundSetOutput(int) {
    return true;
}
bool soundInit(int, int, unsigned) {
    return true;
}
void soundClose() {}
SoundStream* soundStreamOpen(const void*, unsigned, int, int) {
    return nullptr;
}
int soundStreamPlayEx(int, SoundStream*, SoundDspUnit*, bool) {
    return -1;
}
bool soundSetPaused(int, bool) {
    return true;
}
SoundDspUnit* soundGetFftUnit() {
    return nullptr;
}
bool soundDspSetActive(SoundDspUnit*, bool) {
    return true;
}
int soundStreamGetTime(SoundStream*) {
    return static_cast<int>(steppedSeconds * 1000.0);
}
bool soundStreamSetTime(SoundStream*, int milliseconds) {
    steppedSeconds = milliseconds * 0.001;
    return true;
}
const float* soundGetSpectrum() {
    return silentSpectrum;
}
void soundSetSteppedTime(const double seconds) {
    steppedSeconds = seconds;
}
void soundUseSteppedClock(bool) {}

// The sound library's output in the browser: Web Audio plays the track the page decoded
// (platform/web_audio.h); the frame heard is the audio context's time less its output
// latency.
#include <cstdio>

#include "platform/sound_device.h"
#include "platform/web_audio.h"

bool openSoundDevice(SoundDeviceMixer, int* const bufferFrames) {
    *bufferFrames = 0;
    if (!webAudioRunning()) {
        std::fprintf(stderr, "sound: the browser plays no sound here; playing silently\n");
        return false;
    }
    return true;
}

void closeSoundDevice() {
    webAudioStop();
}

void lockSoundDevice() {}
void unlockSoundDevice() {}

double soundDeviceHeardFrame(const HandedBuffer&, double) {
    return webAudioHeardFrame();
}

void soundDevicePlayFrom(const double frame) {
    webAudioPlayFrom(frame);
}

void soundDeviceStop() {
    webAudioStop();
}

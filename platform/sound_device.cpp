// The sound library's output on the desktop: SDL's audio device, which pulls float stereo
// buffers of 1024 frames from the library's mixer on SDL's audio thread.
#include <SDL.h>
#include <cstdio>
#include <cstring>
#include <string>

#include "platform/sound_decoder.h"
#include "platform/sound_device.h"

namespace {

constexpr int kDeviceBufferFrames = 1024;

SDL_AudioDeviceID device = 0;
SoundDeviceMixer deviceMixer = nullptr;
// What the device is handed per callback, and what SDL and the device still hold ahead of a
// buffer when it is handed over: at least the one buffer being played meanwhile.
int bufferLength = kDeviceBufferFrames;
bool unavailable = false; // a missing device is tried (and its errors printed) once

void fill(void*, Uint8* const bytes, const int length) {
    deviceMixer(reinterpret_cast<float*>(bytes), length / static_cast<int>(2 * sizeof(float)));
}

// ALSA without a sound card fills standard error with its configuration errors when a device
// is opened; the kernel's card list tells beforehand that there is nothing to open.
bool alsaHasNoCard() {
    std::FILE* const cards = std::fopen("/proc/asound/cards", "r");
    if (cards == nullptr) {
        return true;
    }
    char line[128] = {};
    const bool none = std::fgets(line, sizeof(line), cards) == nullptr ||
                      std::strstr(line, "no soundcards") != nullptr;
    std::fclose(cards);
    return none;
}

bool refuse(const std::string& why) {
    std::fprintf(stderr, "sound: %s; playing silently\n", why.c_str());
    unavailable = true;
    return false;
}

} // namespace

bool openSoundDevice(const SoundDeviceMixer mixer, int* const bufferFrames) {
    if (unavailable) {
        return false;
    }
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
        return refuse(std::string("no audio (") + SDL_GetError() + ")");
    }
    const char* const driver = SDL_GetCurrentAudioDriver();
    if (driver != nullptr && std::strcmp(driver, "alsa") == 0 && alsaHasNoCard()) {
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        return refuse("no sound card");
    }
    SDL_AudioSpec wanted{};
    wanted.freq = kDecodeRate;
    wanted.format = AUDIO_F32SYS;
    wanted.channels = 2;
    wanted.samples = kDeviceBufferFrames;
    wanted.callback = fill;
    SDL_AudioSpec obtained{};
    const SDL_AudioDeviceID opened = SDL_OpenAudioDevice(nullptr, 0, &wanted, &obtained, 0);
    if (opened == 0) {
        const std::string why = std::string("no audio device (") + SDL_GetError() + ")";
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        return refuse(why);
    }
    // SDL converts to the device's format; the callback always sees `wanted`.
    bufferLength = obtained.samples;
    *bufferFrames = obtained.samples;
    deviceMixer = mixer;
    device = opened;
    SDL_PauseAudioDevice(device, 0);
    return true;
}

void closeSoundDevice() {
    if (device == 0) {
        return;
    }
    // SDL_Quit closes every device itself; after it there is nothing left to close.
    if (SDL_WasInit(SDL_INIT_AUDIO) != 0) {
        SDL_CloseAudioDevice(device); // waits for the audio thread to end
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
    }
    device = 0;
}

void lockSoundDevice() {
    if (device != 0) {
        SDL_LockAudioDevice(device);
    }
}

void unlockSoundDevice() {
    if (device != 0) {
        SDL_UnlockAudioDevice(device);
    }
}

double soundDeviceHeardFrame(const HandedBuffer& handed, const double now) {
    return heardFrame(handed, bufferLength, bufferLength, now);
}

void soundDevicePlayFrom(double) {}
void soundDeviceStop() {}

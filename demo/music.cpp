#include "demo/music.h"

#include <cstdio>
#include <cstring>

#include "platform/sound.h"

float MusicClock = 0.0f;
float Spectrum[64] = {};

static SoundStream* musicStream = nullptr;
static int musicChannel = -1;

static constexpr const char* kTrackPath = "data/music/track.mp3";

void startMusic() {
    soundSetOutput(kSoundOutputDevice);
    soundInit(44100, 32, 0);
    std::FILE* const file = std::fopen(kTrackPath, "rb");
    if (file == nullptr) {
        std::fputs("Error!\n", stdout);
        std::fputs("File Not Found\n", stdout);
        std::fflush(stdout);
        soundClose();
        return;
    }
    std::fseek(file, 0, SEEK_END);
    const long size = std::ftell(file);
    std::fseek(file, 0, SEEK_SET);
    unsigned char* const buffer = new unsigned char[size > 0 ? size : 1];
    const std::size_t got =
        std::fread(buffer, 1, static_cast<std::size_t>(size > 0 ? size : 0), file);
    std::fclose(file);
    musicStream =
        soundStreamOpen(buffer, kSoundModeNormal | kSoundModeLoadMemory | kSoundModeMpegAccurate, 0,
                        static_cast<int>(got));
    if (musicChannel < 0) {
        musicChannel = soundStreamPlayEx(-1, musicStream, nullptr, true);
        soundSetPaused(musicChannel, false);
    }
}

void activateSpectrum() {
    soundDspSetActive(soundGetFftUnit(), true);
}

void seekMusic(const float deltaMilliseconds) {
    const int target = static_cast<int>(MusicClock * 1000.0f + deltaMilliseconds);
    soundStreamSetTime(musicStream, target);
}

void readMusicClock() {
    const int milliseconds = soundStreamGetTime(musicStream);
    MusicClock = static_cast<float>(milliseconds * 0.001);
}

void copySpectrum() {
    std::memcpy(Spectrum, soundGetSpectrum(), sizeof(Spectrum));
}

#include "demo/music.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>
#include <vector>

#include "platform/data_root.h"
#include "platform/file_bytes.h"
#include "platform/sound.h"

static SoundStream* musicStream = nullptr;
static int musicChannel = -1;
// The whole track file; the stream decodes from it for as long as it plays.
static std::vector<unsigned char> trackBuffer;

// Held by setMusicPaused. The silent clock, which has no channel to pause, is held here.
static bool musicHeld = false;
static int silentHeldMs = 0;

static bool holdsSilentClock() {
    return musicHeld && musicChannel < 0;
}

static constexpr const char* kTrackPath = "data/music/track.mp3";

void startMusic() {
    soundSetOutput(kSoundOutputDevice);
    soundInit(44100, 32, 0);
    // A later start-up (after a full-screen switch) keeps the stream that is already open and
    // playing: the music and the clock go on without a jump, and the file is not read again.
    if (musicStream == nullptr) {
        if (!readFileBytes(dataPath(kTrackPath).c_str(), &trackBuffer)) {
            std::fputs("Error!\n", stdout);
            std::fputs("File Not Found\n", stdout);
            std::fflush(stdout);
            soundClose();
            trackBuffer = {};
            return;
        }
        const int size = static_cast<int>(
            std::min<std::size_t>(trackBuffer.size(), std::numeric_limits<int>::max()));
        musicStream = soundStreamOpen(
            trackBuffer.data(), kSoundModeNormal | kSoundModeLoadMemory | kSoundModeMpegAccurate, 0,
            size);
        if (musicStream == nullptr) {
            trackBuffer = {}; // undecodable: the show runs on the silent clock
        }
    }
    if (musicChannel < 0) {
        musicChannel = soundStreamPlayEx(-1, musicStream, nullptr, true);
        soundSetPaused(musicChannel, false);
    }
}

void activateSpectrum() {
    soundDspSetActive(soundGetFftUnit(), true);
}

void seekMusic(const float deltaMilliseconds) {
    // In single precision, as the clock itself: MusicClock x 1000 then lands back on the whole
    // millisecond the clock was read as, so repeated seeks lose nothing.
    const float target = MusicClock * 1000.0f + deltaMilliseconds;
    // Truncated toward zero; values beyond the int range (or NaN) are brought inside it first,
    // since converting them is undefined.
    constexpr double kLow = std::numeric_limits<int>::min();
    constexpr double kHigh = std::numeric_limits<int>::max();
    const double inRange = std::isnan(target) ? 0.0 : std::clamp<double>(target, kLow, kHigh);
    seekMusicTo(static_cast<int>(inRange));
}

void seekMusicTo(const int milliseconds) {
    if (holdsSilentClock()) {
        silentHeldMs = std::max(milliseconds, 0);
        return;
    }
    soundStreamSetTime(musicStream, milliseconds);
}

void setMusicPaused(const bool paused) {
    if (paused == musicHeld) {
        return;
    }
    if (musicChannel >= 0) {
        soundSetPaused(musicChannel, paused);
    } else if (paused) {
        silentHeldMs = soundStreamGetTime(musicStream);
    } else {
        soundStreamSetTime(musicStream, silentHeldMs);
    }
    musicHeld = paused;
}

bool musicPaused() {
    return musicHeld;
}

int musicTimeMs() {
    return holdsSilentClock() ? silentHeldMs : soundStreamGetTime(musicStream);
}

void readMusicClock() {
    MusicClock = static_cast<float>(musicTimeMs() * 0.001);
}

void copySpectrum() {
    std::memcpy(Spectrum, soundGetSpectrum(), sizeof(Spectrum));
}

int musicTrackLengthMs() {
    return soundStreamGetLengthMs(musicStream);
}

void resetMusic() {
    soundReset();
    musicStream = nullptr;
    musicChannel = -1;
    musicHeld = false;
    silentHeldMs = 0;
    trackBuffer = {};
    MusicClock = 0.0f;
    std::memset(Spectrum, 0, sizeof(Spectrum));
}

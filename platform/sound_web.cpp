// The show's sound library in the web build: the same operations as platform/sound.cpp, over
// the track the browser decoded and plays (platform/web_audio.h).
//
// - Device: Web Audio plays the track; the clock is the frame being heard (the audio
//   context's time less its output latency), smoothed and never going back
//   (platform/sound_clock.h); a seek restarts the source at the new frame.
// - Silent (no running audio context): a playing stream's position is its anchor plus the
//   time since on the monotonic clock.
// - Stepped: the host sets the time.
// On every output the spectrum is computed from the decoded track at the clock's frame.
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <limits>
#include <memory>
#include <vector>

#include "platform/sound.h"
#include "platform/sound_clock.h"
#include "platform/sound_spectrum.h"
#include "platform/web_audio.h"

namespace {

using Frames = std::int64_t;

constexpr int kRate = 44100;

enum class Output { Device, Silent, Stepped };

double wallSeconds() {
    using Clock = std::chrono::steady_clock;
    return std::chrono::duration<double>(Clock::now().time_since_epoch()).count();
}

// Milliseconds to frames, rounded up so that framesToMs gives the same milliseconds back.
Frames msToFrames(const std::int64_t ms) {
    return (ms * kRate + 999) / 1000;
}
int framesToMs(const Frames frames) {
    const Frames ms = frames * 1000 / kRate;
    return static_cast<int>(std::min<Frames>(ms, std::numeric_limits<int>::max()));
}

} // namespace

struct SoundStream {
    Frames length = 0;
    int channel = -1;
    bool paused = true;
    Frames position = 0;     // the anchor: where the stream was at anchorWall
    double anchorWall = 0.0; // silent output
    SmoothedClock clock;     // device output
};

struct SoundDspUnit {
    bool active = false;
};

namespace {

struct SoundState {
    int selectedOutput = kSoundOutputDevice;
    bool steppedPinned = false;
    bool initialised = false;
    Output output = Output::Silent;
    int maxChannels = 32;
    std::vector<std::unique_ptr<SoundStream>> streams;

    SpectrumAnalyser* analyser = nullptr;
    const SoundStream* analysedStream = nullptr;
    Frames analysedEnd = -1;
    std::vector<float> windowStereo = std::vector<float>(2 * kSpectrumWindow);
    float windowMono[kSpectrumWindow] = {};
    float spectrum[kSpectrumBins] = {};

    int steppedMs = 0;
    Frames steppedFrames = 0;

    bool silentClockStarted = false;
    std::int64_t silentClockMs = 0;
    double silentClockWall = 0.0;
};

SoundState state;
SoundDspUnit fftUnit;

SoundStream* findStream(const SoundStream* const stream) {
    for (const std::unique_ptr<SoundStream>& open : state.streams) {
        if (open.get() == stream) {
            return open.get();
        }
    }
    return nullptr;
}

SoundStream* streamOnChannel(const int channel) {
    for (const std::unique_ptr<SoundStream>& open : state.streams) {
        if (open->channel == channel) {
            return open.get();
        }
    }
    return nullptr;
}

bool isPlaying(const SoundStream& stream) {
    return stream.channel >= 0 && !stream.paused;
}

const SoundStream* playingStream() {
    for (const std::unique_ptr<SoundStream>& open : state.streams) {
        if (isPlaying(*open)) {
            return open.get();
        }
    }
    return nullptr;
}

Frames silentPosition(const SoundStream& stream) {
    if (!isPlaying(stream)) {
        return stream.position;
    }
    const double elapsed = std::max(0.0, wallSeconds() - stream.anchorWall);
    return stream.position + static_cast<Frames>(elapsed * kRate);
}

Frames deviceClock(SoundStream& stream) {
    const double heard =
        isPlaying(stream) ? webAudioHeardFrame() : static_cast<double>(stream.position);
    advanceClock(stream.clock, heard, isPlaying(stream), wallSeconds());
    return static_cast<Frames>(stream.clock.frames);
}

// Puts a stream's clock at `frames`; on the device output a playing stream's source restarts
// there.
void placeStream(SoundStream& stream, const Frames frames) {
    const double now = wallSeconds();
    stream.position = frames;
    stream.anchorWall = now;
    stream.clock = SmoothedClock{static_cast<double>(frames), now, true};
    if (state.output == Output::Device && isPlaying(stream)) {
        webAudioPlayFrom(static_cast<double>(frames));
    }
}

Frames streamFrames(SoundStream& stream) {
    switch (state.output) {
    case Output::Stepped:
        return state.steppedFrames;
    case Output::Silent:
        return silentPosition(stream);
    case Output::Device:
        break;
    }
    return deviceClock(stream);
}

int silentClockNow() {
    const double now = wallSeconds();
    if (!state.silentClockStarted) {
        state.silentClockStarted = true;
        state.silentClockMs = 0;
        state.silentClockWall = now;
    }
    const double elapsedMs = std::max(0.0, now - state.silentClockWall) * 1000.0;
    const std::int64_t ms = state.silentClockMs + static_cast<std::int64_t>(elapsedMs);
    return static_cast<int>(std::min<std::int64_t>(ms, std::numeric_limits<int>::max()));
}

// The spectrum of the 1024 frames of the track ending at `end`.
void analyseTrack(const SoundStream& stream, const Frames end) {
    if (&stream == state.analysedStream && end == state.analysedEnd) {
        return;
    }
    if (state.analyser == nullptr) {
        state.analyser = createSpectrumAnalyser();
    }
    webAudioCopyFrames(static_cast<double>(end - kSpectrumWindow), state.windowStereo.data(),
                       kSpectrumWindow);
    for (int i = 0; i < kSpectrumWindow; ++i) {
        state.windowMono[i] = 0.5f * (state.windowStereo[2 * i] + state.windowStereo[2 * i + 1]);
    }
    computeSpectrum(state.analyser, state.windowMono, state.spectrum);
    state.analysedStream = &stream;
    state.analysedEnd = end;
}

void clearSpectrum() {
    std::fill(std::begin(state.spectrum), std::end(state.spectrum), 0.0f);
    state.analysedStream = nullptr;
    state.analysedEnd = -1;
}

} // namespace

bool soundSetOutput(const int outputType) {
    if (state.initialised) {
        return false;
    }
    if (outputType == kSoundOutputStepped) {
        state.selectedOutput = outputType;
        state.steppedPinned = true;
        return true;
    }
    if (outputType == kSoundOutputDevice && !state.steppedPinned) {
        state.selectedOutput = outputType;
        return true;
    }
    return false;
}

bool soundInit(const int mixRate, const int maxChannels, unsigned) {
    if (state.initialised) {
        return true;
    }
    if (mixRate != kRate || maxChannels < 1) {
        return false;
    }
    state.maxChannels = maxChannels;
    if (state.selectedOutput == kSoundOutputStepped) {
        state.output = Output::Stepped;
    } else if (webAudioRunning()) {
        state.output = Output::Device;
    } else {
        std::fprintf(stderr, "sound: the browser plays no sound here; playing silently\n");
        state.output = Output::Silent;
    }
    state.initialised = true;
    return true;
}

void soundClose() {
    if (!state.initialised) {
        return;
    }
    webAudioStop();
    state.streams.clear();
    clearSpectrum();
    state.initialised = false;
}

bool soundDeviceOpen() {
    return state.initialised && state.output == Output::Device;
}

void soundReset() {
    soundClose();
    destroySpectrumAnalyser(state.analyser);
    state = SoundState();
    fftUnit.active = false;
}

// The bytes are the track file the page also handed to the browser's decoder, which decodes
// it; a stream opens when that decode gave audio.
SoundStream* soundStreamOpen(const void* const data, const unsigned mode, const int offset,
                             const int length) {
    if (!state.initialised || data == nullptr || (mode & kSoundModeLoadMemory) == 0 || offset < 0 ||
        length <= offset || webAudioTrackFrames() <= 0.0) {
        return nullptr;
    }
    std::unique_ptr<SoundStream> stream = std::make_unique<SoundStream>();
    stream->length = static_cast<Frames>(webAudioTrackFrames());
    SoundStream* const handle = stream.get();
    state.streams.push_back(std::move(stream));
    return handle;
}

int soundStreamPlayEx(const int channel, SoundStream* const stream, SoundDspUnit*,
                      const bool startPaused) {
    SoundStream* const open = findStream(stream);
    if (!state.initialised || open == nullptr || channel < -1 || channel >= state.maxChannels) {
        return -1;
    }
    int chosen = open->channel >= 0 ? open->channel : channel;
    if (chosen < 0) {
        chosen = 0;
        while (chosen < state.maxChannels && streamOnChannel(chosen) != nullptr) {
            ++chosen;
        }
        if (chosen == state.maxChannels) {
            return -1;
        }
    }
    SoundStream* const previous = streamOnChannel(chosen);
    if (previous != nullptr && previous != open) {
        previous->channel = -1;
    }
    const Frames at = state.output == Output::Silent ? silentPosition(*open) : open->position;
    open->channel = chosen;
    open->paused = startPaused;
    placeStream(*open, at);
    return chosen;
}

bool soundSetPaused(const int channel, const bool paused) {
    SoundStream* const stream = channel >= 0 ? streamOnChannel(channel) : nullptr;
    if (stream == nullptr) {
        return false;
    }
    if (stream->paused == paused) {
        return true;
    }
    const Frames at = streamFrames(*stream);
    if (paused && state.output == Output::Device) {
        webAudioStop();
    }
    stream->paused = paused;
    placeStream(*stream, at);
    return true;
}

SoundDspUnit* soundGetFftUnit() {
    return &fftUnit;
}

bool soundDspSetActive(SoundDspUnit* const unit, const bool active) {
    if (unit != &fftUnit) {
        return false;
    }
    fftUnit.active = active;
    if (!active) {
        clearSpectrum();
    }
    return true;
}

int soundStreamGetTime(SoundStream* const stream) {
    if (state.selectedOutput == kSoundOutputStepped) {
        return state.steppedMs;
    }
    SoundStream* const open = findStream(stream);
    if (open == nullptr) {
        return silentClockNow();
    }
    return framesToMs(streamFrames(*open));
}

bool soundStreamSetTime(SoundStream* const stream, const int milliseconds) {
    SoundStream* const open = findStream(stream);
    const bool stepped = state.selectedOutput == kSoundOutputStepped;
    if (open == nullptr) {
        const int target = std::max(milliseconds, 0);
        if (stepped) {
            state.steppedMs = target;
            state.steppedFrames = msToFrames(target);
        } else {
            state.silentClockStarted = true;
            state.silentClockMs = target;
            state.silentClockWall = wallSeconds();
        }
        return true;
    }
    const Frames target = msToFrames(std::max(milliseconds, 0));
    if (stepped) {
        state.steppedMs = framesToMs(target);
        state.steppedFrames = target;
    }
    placeStream(*open, target);
    return true;
}

int soundStreamGetLengthMs(SoundStream* const stream) {
    const SoundStream* const open = findStream(stream);
    return open == nullptr ? 0 : framesToMs(open->length);
}

const float* soundGetSpectrum() {
    if (!fftUnit.active || !state.initialised) {
        clearSpectrum();
        return state.spectrum;
    }
    SoundStream* const stream = findStream(playingStream());
    if (stream == nullptr) {
        clearSpectrum();
        return state.spectrum;
    }
    analyseTrack(*stream, streamFrames(*stream));
    return state.spectrum;
}

void soundSetSteppedTime(const double seconds) {
    const double clamped = std::clamp(seconds, 0.0, 2.0e6); // NaN counts as 0 below
    if (!(clamped > 0.0)) {
        state.steppedMs = 0;
        state.steppedFrames = 0;
        return;
    }
    constexpr double kEpsilon = 1e-6; // 1.001 s is 1001 ms, not 1000.9999999999999
    state.steppedMs = static_cast<int>(std::floor(clamped * 1000.0 + kEpsilon));
    state.steppedFrames = static_cast<Frames>(std::floor(clamped * kRate + kEpsilon));
}

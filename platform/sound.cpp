#include "platform/sound.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <limits>
#include <memory>
#include <vector>

#include "platform/sound_clock.h"
#include "platform/sound_decoder.h"
#include "platform/sound_device.h"
#include "platform/sound_spectrum.h"

// Three outputs share one model of a stream: a decoder, a position in frames and a channel.
// - Device (platform/sound_device.h): a device that pulls (SDL's) calls mixDevice on its own
//   thread; it decodes, mixes, advances each playing stream and refreshes the spectrum.
//   Everything the mixer touches is guarded by the device lock. A device that plays the track
//   itself (the browser's) is told where playback starts and stops. Either way the main
//   thread's clock is the position being heard as the device reports it, smoothed
//   (deviceClock); without a mixer the spectrum is computed from the track at that position.
// - Silent (no audio device): nothing is rendered; a playing stream's position is its anchor
//   plus the time since on the monotonic clock, and the spectrum is computed from the track.
// - Stepped: the host sets the time; the spectrum is computed from the track at that time.

namespace {

using Frames = std::int64_t;

constexpr int kRate = kDecodeRate;

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
    Mp3Decoder* decoder = nullptr;
    Frames length = 0;
    int channel = -1;
    bool paused = true;
    // Device and silent output: the next frame to render (device) or the anchor (silent).
    Frames position = 0;
    double anchorWall = 0.0; // silent output: when `position` was current
    // Pulling device, written by the mixer: the last buffer handed to the device; read by the
    // main thread under the device lock.
    HandedBuffer handed;
    // Device output, main thread: the clock as last read.
    SmoothedClock clock;

    ~SoundStream() { closeMp3Decoder(decoder); }
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
    bool deviceOpen = false;
    bool devicePulls = false; // the device calls mixDevice (else it plays the track itself)
    bool mixing = false;      // the mixer's state below is ready (set under the device lock)
    std::vector<std::unique_ptr<SoundStream>> streams;

    // Pulling device: decoding space, the last kSpectrumWindow mono samples heard (a ring) and
    // the spectrum the mixer computed, all written only under the device lock.
    std::vector<float> streamScratch; // one device buffer of stereo frames
    float history[kSpectrumWindow] = {};
    int historyNext = 0;
    float deviceSpectrum[kSpectrumBins] = {};
    SpectrumAnalyser* callbackAnalyser = nullptr;

    // Otherwise: the spectrum computed on the main thread from the track, and for which
    // stream and end frame, so repeated calls at one position cost nothing.
    SpectrumAnalyser* mainAnalyser = nullptr;
    const SoundStream* analysedStream = nullptr;
    Frames analysedEnd = -1;
    std::vector<float> windowStereo = std::vector<float>(2 * kSpectrumWindow);
    float windowMono[kSpectrumWindow] = {};

    // The spectrum handed out by soundGetSpectrum.
    float spectrum[kSpectrumBins] = {};

    // Stepped output.
    int steppedMs = 0;
    Frames steppedFrames = 0;

    // The clock without a stream.
    bool silentClockStarted = false;
    std::int64_t silentClockMs = 0;
    double silentClockWall = 0.0;
};

SoundState state;
SoundDspUnit fftUnit;

// Holds the device lock, so the mixer is not running, for the scope.
class DeviceLock {
  public:
    DeviceLock() : locked_(state.deviceOpen) {
        if (locked_) {
            lockSoundDevice();
        }
    }
    ~DeviceLock() {
        if (locked_) {
            unlockSoundDevice();
        }
    }
    DeviceLock(const DeviceLock&) = delete;
    DeviceLock& operator=(const DeviceLock&) = delete;

  private:
    bool locked_;
};

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

// The first playing stream: the one the silent and stepped spectra analyse.
const SoundStream* playingStream() {
    for (const std::unique_ptr<SoundStream>& open : state.streams) {
        if (isPlaying(*open)) {
            return open.get();
        }
    }
    return nullptr;
}

void addToHistory(const float* const stereo, const int frames) {
    for (int i = 0; i < frames; ++i) {
        state.history[state.historyNext] = 0.5f * (stereo[2 * i] + stereo[2 * i + 1]);
        state.historyNext = (state.historyNext + 1) % kSpectrumWindow;
    }
}

// The pulling device's thread, with the device lock held: decodes and mixes every playing
// stream.
void mixDevice(float* const out, const int length) {
    std::fill_n(out, 2 * length, 0.0f);
    if (!state.mixing) {
        return;
    }
    const int frames = std::min(length, static_cast<int>(state.streamScratch.size() / 2));
    const double now = wallSeconds();
    for (const std::unique_ptr<SoundStream>& stream : state.streams) {
        if (!isPlaying(*stream)) {
            continue;
        }
        mp3ReadFrames(stream->decoder, stream->position, state.streamScratch.data(), frames);
        for (int i = 0; i < 2 * frames; ++i) {
            out[i] += state.streamScratch[i];
        }
        stream->handed = HandedBuffer{stream->position, now};
        stream->position += frames; // past the end this is silence, and the clock runs on
    }
    for (int i = 0; i < 2 * frames; ++i) {
        out[i] = std::clamp(out[i], -1.0f, 1.0f);
    }
    addToHistory(out, frames);
    if (fftUnit.active) {
        float ordered[kSpectrumWindow];
        for (int i = 0; i < kSpectrumWindow; ++i) {
            ordered[i] = state.history[(state.historyNext + i) % kSpectrumWindow];
        }
        computeSpectrum(state.callbackAnalyser, ordered, state.deviceSpectrum);
    }
}

void closeDevice();

// A pulling device's thread reads the streams and the data they decode from, which static
// objects hold (here and in the host) and free when the process exits. An exit handler
// registered before the first device opens runs before those objects are destroyed, and
// closes the device.
void closeDeviceAtExit() {
    static bool registered = false;
    if (!registered) {
        registered = std::atexit(closeDevice) == 0;
    }
}

bool openDevice() {
    closeDeviceAtExit();
    int bufferFrames = 0;
    if (!openSoundDevice(mixDevice, &bufferFrames)) {
        return false;
    }
    state.deviceOpen = true;
    state.devicePulls = bufferFrames > 0;
    if (state.devicePulls) {
        const DeviceLock lock; // the mixer may already be called
        state.streamScratch.assign(2 * static_cast<std::size_t>(bufferFrames), 0.0f);
        std::fill(std::begin(state.history), std::end(state.history), 0.0f);
        std::fill(std::begin(state.deviceSpectrum), std::end(state.deviceSpectrum), 0.0f);
        state.callbackAnalyser = createSpectrumAnalyser();
        state.mixing = true;
    }
    return true;
}

// Closes the device (a pulling device's thread has ended): from then on nothing reads the
// streams.
void closeDevice() {
    if (!state.deviceOpen) {
        return;
    }
    closeSoundDevice();
    state.deviceOpen = false;
    state.mixing = false;
    destroySpectrumAnalyser(state.callbackAnalyser);
    state.callbackAnalyser = nullptr;
}

// Silent output: where a stream is now.
Frames silentPosition(const SoundStream& stream) {
    if (!isPlaying(stream)) {
        return stream.position;
    }
    const double elapsed = std::max(0.0, wallSeconds() - stream.anchorWall);
    return stream.position + static_cast<Frames>(elapsed * kRate);
}

// Device output, main thread, under the device lock: the position being heard as the device
// reports it, smoothed so that successive readings advance evenly and never go back (seeks
// aside).
Frames deviceClock(SoundStream& stream) {
    const double now = wallSeconds();
    // Paused, the stream stands at the end of what it handed over.
    const double heard = isPlaying(stream) ? soundDeviceHeardFrame(stream.handed, now)
                                           : static_cast<double>(stream.position);
    advanceClock(stream.clock, heard, isPlaying(stream), now);
    return static_cast<Frames>(stream.clock.frames);
}

// Puts a stream's clock at `frames` on the current output; a device that plays the track
// itself plays a playing stream from there.
void placeStream(SoundStream& stream, const Frames frames) {
    const double now = wallSeconds();
    stream.position = frames;
    stream.anchorWall = now;
    stream.handed = HandedBuffer{frames, now};
    stream.clock = SmoothedClock{static_cast<double>(frames), now, true};
    if (state.output == Output::Device && isPlaying(stream)) {
        soundDevicePlayFrom(static_cast<double>(frames));
    }
}

// The frame a stream is at on the current output.
Frames streamFrames(SoundStream& stream) {
    switch (state.output) {
    case Output::Stepped:
        return state.steppedFrames;
    case Output::Silent:
        return silentPosition(stream);
    case Output::Device:
        break;
    }
    const DeviceLock lock;
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

// Silent and stepped output: the spectrum of the 1024 frames of `stream` ending at `end`.
void analyseTrack(SoundStream& stream, const Frames end) {
    if (&stream == state.analysedStream && end == state.analysedEnd) {
        return;
    }
    if (state.mainAnalyser == nullptr) {
        state.mainAnalyser = createSpectrumAnalyser();
    }
    mp3ReadFrames(stream.decoder, end - kSpectrumWindow, state.windowStereo.data(),
                  kSpectrumWindow);
    for (int i = 0; i < kSpectrumWindow; ++i) {
        state.windowMono[i] = 0.5f * (state.windowStereo[2 * i] + state.windowStereo[2 * i + 1]);
    }
    computeSpectrum(state.mainAnalyser, state.windowMono, state.spectrum);
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
    } else {
        state.output = openDevice() ? Output::Device : Output::Silent;
    }
    state.initialised = true;
    return true;
}

void soundClose() {
    if (!state.initialised) {
        return;
    }
    closeDevice(); // the callback has ended: the streams can go
    state.streams.clear();
    clearSpectrum();
    state.initialised = false;
}

void soundReset() {
    soundClose();
    destroySpectrumAnalyser(state.mainAnalyser);
    state = SoundState();
    fftUnit.active = false;
}

SoundStream* soundStreamOpen(const void* const data, const unsigned mode, const int offset,
                             const int length) {
    if (!state.initialised || data == nullptr || (mode & kSoundModeLoadMemory) == 0 || offset < 0 ||
        length <= offset) {
        return nullptr;
    }
    const unsigned char* const bytes = static_cast<const unsigned char*>(data) + offset;
    Mp3Decoder* const decoder =
        openMp3Decoder(bytes, static_cast<std::size_t>(length) - static_cast<std::size_t>(offset));
    if (decoder == nullptr) {
        return nullptr;
    }
    std::unique_ptr<SoundStream> stream = std::make_unique<SoundStream>();
    stream->decoder = decoder;
    stream->length = mp3LengthFrames(decoder);
    SoundStream* const handle = stream.get();
    const DeviceLock lock;
    state.streams.push_back(std::move(stream));
    return handle;
}

int soundStreamPlayEx(const int channel, SoundStream* const stream, SoundDspUnit*,
                      const bool startPaused) {
    SoundStream* const open = findStream(stream);
    if (!state.initialised || open == nullptr || channel < -1 || channel >= state.maxChannels) {
        return -1;
    }
    const DeviceLock lock;
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
    const DeviceLock lock;
    if (state.output == Output::Silent || (state.output == Output::Device && !state.devicePulls)) {
        // The stream goes on from where it is heard now.
        const Frames at = streamFrames(*stream);
        if (paused && state.output == Output::Device) {
            soundDeviceStop();
        }
        stream->paused = paused;
        placeStream(*stream, at);
        return true;
    }
    stream->paused = paused;
    if (!paused) {
        // The device takes up from what it rendered last; the smoothed clock goes on from
        // where it stands.
        stream->handed = HandedBuffer{stream->position, wallSeconds()};
    }
    return true;
}

bool soundDeviceOpen() {
    return state.deviceOpen;
}

SoundDspUnit* soundGetFftUnit() {
    return &fftUnit;
}

bool soundDspSetActive(SoundDspUnit* const unit, const bool active) {
    if (unit != &fftUnit) {
        return false;
    }
    {
        const DeviceLock lock;
        fftUnit.active = active;
    }
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
    // Past the end of the track the stream is silence and its clock runs on, so a seek there
    // lands where asked; a seek back into the track plays it again from there.
    const Frames target = msToFrames(std::max(milliseconds, 0));
    if (stepped) {
        state.steppedMs = framesToMs(target);
        state.steppedFrames = target;
    }
    const DeviceLock lock;
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
    if (state.output == Output::Device && state.devicePulls) {
        const DeviceLock lock;
        std::copy(std::begin(state.deviceSpectrum), std::end(state.deviceSpectrum), state.spectrum);
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

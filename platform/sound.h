#pragma once
// The sound library of the show: MP3 streaming from memory, the play position as the show's
// clock, seeking, and an FFT spectrum of what is being heard. One operation per call the
// show makes, in the order and with the arguments the show uses.

struct SoundStream;  // a decoded MP3 held in memory
struct SoundDspUnit; // the spectrum analysis unit

// Output types for soundSetOutput.
inline constexpr int kSoundOutputDevice =
    1; // the system's audio output; silent real time without one
inline constexpr int kSoundOutputStepped =
    2; // no output: the host steps the clock (render tool, tests)

// Mode bits for soundStreamOpen.
inline constexpr unsigned kSoundModeNormal = 0x130;
inline constexpr unsigned kSoundModeLoadMemory = 0x8000;
inline constexpr unsigned kSoundModeMpegAccurate = 0x20000;

// Number of linear spectrum bins from 0 Hz to the Nyquist frequency.
inline constexpr int kSpectrumBins = 512;

bool soundSetOutput(int outputType);
bool soundInit(int mixRate, int maxChannels, unsigned flags);
void soundClose();

// Opens a stream over `length` bytes of MP3 data at `data` (with kSoundModeLoadMemory the
// first argument is the data itself). The data must outlive the stream. Null on failure.
SoundStream* soundStreamOpen(const void* data, unsigned mode, int offset, int length);

// Puts the stream on a channel (-1: any free one), optionally paused. Returns the channel
// number, or -1 on failure.
int soundStreamPlayEx(int channel, SoundStream* stream, SoundDspUnit* dsp, bool startPaused);
bool soundSetPaused(int channel, bool paused);

SoundDspUnit* soundGetFftUnit();
bool soundDspSetActive(SoundDspUnit* unit, bool active);

// The play position in milliseconds of the position being heard.
int soundStreamGetTime(SoundStream* stream);
// Moves playback to `milliseconds`, clamped to the stream; the next GetTime reports it.
bool soundStreamSetTime(SoundStream* stream, int milliseconds);

// kSpectrumBins values from 0 to 1, lowest frequency first; always readable.
const float* soundGetSpectrum();

// Locks the output to the stepped clock: later soundSetOutput calls (the show's start-up asks
// for the device) keep it. For hosts that draw the show on their own clock.
void soundUseSteppedClock(bool locked);

// Stepped output only: sets the play position the clock and the spectrum report.
void soundSetSteppedTime(double seconds);

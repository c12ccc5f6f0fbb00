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

// Selects the output for the next soundInit; refused (false) while the library is initialised.
// A host that steps the clock selects kSoundOutputStepped before the show starts its music:
// that choice holds until soundReset, and later requests for the device output are refused.
bool soundSetOutput(int outputType);
// Starts the library on the selected output. The device output opens the system's audio
// output at 44100 Hz stereo; when there is none it runs silently on the monotonic clock (one
// line on standard error says so). Called again while initialised, it changes nothing, so a
// playing stream plays on. `mixRate` must be 44100; `maxChannels` bounds the channel numbers.
bool soundInit(int mixRate, int maxChannels, unsigned flags);
// Stops the output (its thread has ended when this returns), then frees every stream. The
// output choice, the clock of soundStreamGetTime without a stream, the stepped time and the
// spectrum switch are kept.
void soundClose();
// True while the system's audio output is open: its thread may then be reading the playing
// streams and the data they decode from. soundClose and soundReset close it, and so does the
// process exit, before it destroys any static object made before the output first opened.
bool soundDeviceOpen();
// Back to the state at program start (closed, device output selected, spectrum off, clocks at
// 0). For hosts shutting down and for tests.
void soundReset();

// Opens a stream over `length` bytes of MP3 data at `data` (with kSoundModeLoadMemory the
// first argument is the data itself). The data must outlive the stream. Null on failure.
SoundStream* soundStreamOpen(const void* data, unsigned mode, int offset, int length);

// Puts the stream on a channel (-1: any free one), optionally paused. Returns the channel
// number, or -1 on failure.
int soundStreamPlayEx(int channel, SoundStream* stream, SoundDspUnit* dsp, bool startPaused);
bool soundSetPaused(int channel, bool paused);

SoundDspUnit* soundGetFftUnit();
bool soundDspSetActive(SoundDspUnit* unit, bool active);

// The play position in milliseconds of the position being heard: with the device output, the
// position last handed to SDL less what SDL and the device still hold (at least one device
// buffer), plus the time since. Smooth and monotonic while playing, and running on in silence
// past the end of the track. With the stepped output it is the stepped time. Without a stream
// (null, or a handle freed by soundClose) it is a silent clock that runs in real time from 0,
// counted from its first use.
int soundStreamGetTime(SoundStream* stream);
// Moves playback to `milliseconds` (negative times count as 0); playback goes on from there and
// the next GetTime reports it. Past the end of the track the stream plays silence on a clock
// that runs on, as after its natural end. Without a stream it sets the silent clock.
bool soundStreamSetTime(SoundStream* stream, int milliseconds);
// The stream's length in milliseconds (truncated); 0 for no stream.
int soundStreamGetLengthMs(SoundStream* stream);

// kSpectrumBins values from 0 to 1, lowest frequency first; always readable. Linear bins about
// 43 Hz apart from 0 Hz, from the Hann-windowed FFT of the last 1024 samples heard (mono mix);
// a full-scale sine centred on a bin gives 1 there. All zeros before the FFT unit is switched
// on, before playback and in silence. The device output refreshes it every 1024 samples
// (23 ms); the silent and stepped outputs compute it from the track at the clock's position.
// The pointer stays valid; the values change only in calls of this function.
const float* soundGetSpectrum();

// Stepped output only: sets the play position the clock and the spectrum report (the clock in
// whole milliseconds, truncated; negative times count as 0).
void soundSetSteppedTime(double seconds);

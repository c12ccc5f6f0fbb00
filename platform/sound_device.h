#pragma once
// The system's audio output under the sound library (platform/sound.cpp), 44100 Hz stereo:
// SDL's audio device on the desktop (sound_device.cpp), Web Audio in the browser
// (sound_device_web.cpp). Two kinds of device sit behind it:
// - one that pulls: it calls the library's mixer on a thread of its own for every buffer and
//   reports the buffers it was handed (SDL);
// - one that plays the track itself: the library tells it where playback starts and stops,
//   and asks it which frame is being heard (the browser, which decoded the track).
#include "platform/sound_clock.h"

// The library's mixer: writes `frames` interleaved stereo frames of what plays to `stereo`.
using SoundDeviceMixer = void (*)(float* stereo, int frames);

// Opens the output. A pulling device calls `mixer` on its own thread, with the device lock
// held, and sets `*bufferFrames` to its buffer's length; a device that plays the track itself
// never calls it and sets 0. False when there is no output: one line on standard error says
// so, and a device found missing is not tried again.
bool openSoundDevice(SoundDeviceMixer mixer, int* bufferFrames);
// Closes the output; the mixer is not running when this returns and is not called again.
void closeSoundDevice();

// While locked, the mixer is not running (nothing to do for a device that does not pull).
void lockSoundDevice();
void unlockSoundDevice();

// The frame being heard at `now` (monotonic seconds) of the playing stream, whose last buffer
// handed to a pulling device is `handed`.
double soundDeviceHeardFrame(const HandedBuffer& handed, double now);

// A device that plays the track itself plays it from `frame` (what played is stopped first),
// or stops. Nothing to do for a pulling device.
void soundDevicePlayFrom(double frame);
void soundDeviceStop();

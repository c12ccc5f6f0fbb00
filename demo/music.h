#pragma once
// The soundtrack and the show's clock: the play position of the music is the only time base.
// The music writes MusicClock and Spectrum.

#include "state/music_clock.h"
#include "state/spectrum.h"

// Reads data/music/track.mp3 into memory, opens it as a stream and starts playback. A later
// call keeps the stream already playing (its position too) and reads nothing. A missing or
// unreadable file prints "Error!" and "File Not Found" on standard output and the clock then
// runs silently in real time from 0; an undecodable file runs on that silent clock too.
void startMusic();

// Switches the sound library's spectrum analysis on.
void activateSpectrum();

// Moves the music by `deltaMilliseconds` from the clock of the previous frame: the target,
// truncated toward zero, goes to the sound library unclamped (it counts negative times as 0;
// past the end of the track the clock runs on in silence).
void seekMusic(float deltaMilliseconds);

// Moves the music to `milliseconds` (negative times count as 0), as a seek does.
void seekMusicTo(int milliseconds);

// Holds the music and its clock still (true) or lets them go on from where they stand (false),
// with the track and with the silent clock alike. A seek while held moves the held clock.
void setMusicPaused(bool paused);
bool musicPaused();

// The music's clock now, in the whole milliseconds a frame reads it as.
int musicTimeMs();

// Frame step: MusicClock = the stream's play position in ms x 0.001.
void readMusicClock();

// Frame step: copies the first 64 spectrum values into Spectrum.
void copySpectrum();

// The length of the open track in milliseconds; 0 without one. For hosts that step the clock
// through the whole track (the render tool).
int musicTrackLengthMs();

// Back to the state at program start: the sound library reset, no stream, no playback,
// MusicClock 0, Spectrum zeros. For hosts shutting down and for tests.
void resetMusic();

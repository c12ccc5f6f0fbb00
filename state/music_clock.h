#pragma once

// The play position of the music being heard, in seconds: the show's only time base. Written
// by the music once at the start of every frame (readMusicClock) and read by everything that
// moves. 0 at program start.
inline float MusicClock = 0.0f;

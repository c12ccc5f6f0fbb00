#pragma once
// The device output's clock: the position being heard, worked out on the main thread from the
// buffers the audio thread hands to the device, and smoothed so that successive readings
// advance evenly and never go back. Frames are 1/44100 s; times are monotonic seconds.
#include <cstdint>

// The last buffer handed to the device.
struct HandedBuffer {
    std::int64_t firstFrame = 0; // the stream's frame the buffer begins with
    double wall = 0.0;           // when it was handed over
};

// The frame being heard at `now`. A buffer handed over is heard only once the device has
// played what it still held then, `heldFrames` (SDL's buffer and the device's: at least one
// device buffer); from then on the position runs in real time, but never past the end of what
// has been handed over (`bufferFrames`, the buffer's length, after its first frame).
double heardFrame(const HandedBuffer& handed, std::int64_t heldFrames, std::int64_t bufferFrames,
                  double now);

// The clock the show reads.
struct SmoothedClock {
    double frames = 0.0;
    double wall = 0.0; // when it was last moved
    bool valid = false;
};

// Moves `clock` to `now` toward the frame heard: while playing it runs in real time, steered
// toward `heard` by at most 3 % of the elapsed time; it jumps forward when `heard` is more than
// 0.1 s ahead and stands while it is more than 0.1 s behind (the output stalled). It never goes
// back. An invalid clock starts at `heard`.
void advanceClock(SmoothedClock& clock, double heard, bool playing, double now);

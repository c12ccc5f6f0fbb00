#include "platform/sound_clock.h"

#include <algorithm>

#include "platform/sound_decoder.h"

namespace {

constexpr double kRate = kDecodeRate;
constexpr double kSlew = 0.03;
constexpr double kSnapFrames = 0.1 * kRate;

} // namespace

double heardFrame(const HandedBuffer& handed, const std::int64_t heldFrames,
                  const std::int64_t bufferFrames, const double now) {
    const double since = std::max(0.0, now - handed.wall) * kRate;
    return static_cast<double>(handed.firstFrame - heldFrames) +
           std::min(since, static_cast<double>(heldFrames + bufferFrames));
}

void advanceClock(SmoothedClock& clock, const double heard, const bool playing, const double now) {
    if (!clock.valid) {
        clock = SmoothedClock{heard, now, true};
        return;
    }
    const double elapsed = std::max(0.0, now - clock.wall);
    double predicted = clock.frames + (playing ? elapsed * kRate : 0.0);
    const double error = heard - predicted;
    if (error > kSnapFrames) {
        predicted = heard;
    } else if (error > -kSnapFrames) {
        const double step = kSlew * elapsed * kRate;
        predicted += std::clamp(error, -step, step);
    } else {
        predicted = clock.frames; // the output stalled: wait for it
    }
    clock.frames = std::max(clock.frames, predicted);
    clock.wall = now;
}

#include "demo/show_controls.h"

#include <algorithm>

#include "demo/frame.h"
#include "demo/music.h"

namespace {

bool frameDue = false;

int cutMs(const SceneRule& rule) {
    return static_cast<int>(rule.start * 1000.0f) + kCutLandingMs;
}

// The first rule starts with the show: it is no cut.
bool isCut(const SceneRule& rule) {
    return rule.start > 0.0f;
}

// Where the timeline's priming puts the music.
void placeMusic(const double seconds) {
    seekMusicTo(static_cast<int>(seconds * 1000.0 + 0.5));
}

} // namespace

int gridFrameMs(const int frame) {
    // n x 1000 / 30 never ends in exactly one half: adding half the divisor rounds.
    const long long scaled = static_cast<long long>(frame) * 1000;
    const long long half = kStepFramesPerSecond / 2;
    return static_cast<int>((scaled + (scaled >= 0 ? half : -half)) / kStepFramesPerSecond);
}

int stepOnGrid(const int clockMs, const int steps) {
    const int clock = std::max(clockMs, 0);
    // The last grid frame at or before the clock.
    int frame = static_cast<int>(static_cast<long long>(clock) * kStepFramesPerSecond / 1000);
    while (gridFrameMs(frame + 1) <= clock) {
        ++frame;
    }
    while (gridFrameMs(frame) > clock) {
        --frame;
    }
    const bool onGrid = gridFrameMs(frame) == clock;
    const int base = steps > 0 || onGrid ? frame : frame + 1;
    return gridFrameMs(std::max(base + steps, 0));
}

int nextCutMs(const int clockMs) {
    for (const SceneRule& rule : SceneTimeline) {
        if (isCut(rule) && cutMs(rule) > clockMs) {
            return cutMs(rule);
        }
    }
    return -1;
}

int previousCutMs(const int clockMs) {
    constexpr int kGraceMs = 1000;
    int previous = 0;
    for (const SceneRule& rule : SceneTimeline) {
        if (isCut(rule) && cutMs(rule) + kGraceMs <= clockMs) {
            previous = cutMs(rule);
        }
    }
    return previous;
}

bool showPaused() {
    return musicPaused();
}

void setShowPaused(const bool paused) {
    if (paused && !showPaused()) {
        // The held picture is the frame at the clock where the music stopped (the last frame
        // drawn may be a little older), with "paused" on the heads-up line.
        frameDue = true;
    }
    setMusicPaused(paused);
}

void toggleShowPause() {
    setShowPaused(!showPaused());
}

int showClockMs() {
    return musicTimeMs();
}

void moveShowTo(const int clockMs) {
    const int target = std::max(clockMs, 0);
    primeFrameAt(target * 0.001, placeMusic);
    frameDue = true;
}

void stepShowFrames(const int steps) {
    moveShowTo(stepOnGrid(showClockMs(), steps));
}

void jumpToNextCut() {
    const int cut = nextCutMs(showClockMs());
    if (cut >= 0) {
        moveShowTo(cut);
    }
}

void jumpToPreviousCut() {
    moveShowTo(previousCutMs(showClockMs()));
}

void jumpToStart() {
    moveShowTo(0);
}

void markShowFrameDue() {
    frameDue = true;
}

bool takeShowFrameDue() {
    const bool due = frameDue;
    frameDue = false;
    return due;
}

void resetShowControls() {
    setMusicPaused(false);
    frameDue = false;
}

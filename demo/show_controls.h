#pragma once
// A viewer's and maker's controls of the running show: pause, frame steps on a fixed grid,
// jumps to the cuts of the timeline and to the start, and moves of the clock to any time. They
// act on the music (the show's one clock) and, where the clock moves, prime the timeline so
// that the next frame shows the scene of its clock. Hosts (the window, the web page) map their
// keys and pointer to these and draw a frame whenever showFrameDue says so, or always while
// the show plays.

// The frame grid of the steps: frame n at round(n x 1000 / 30) ms, so thirty steps make one
// second exactly.
inline constexpr int kStepFramesPerSecond = 30;
int gridFrameMs(int frame);
// The clock `steps` grid frames from `clockMs`: forward, the first step goes to the next grid
// frame after the clock; back, to the last one before it. Never before 0.
int stepOnGrid(int clockMs, int steps);

// The cuts: the starts of the timeline's rules after the first, landed on one millisecond past the
// start so that the rule's scene shows at once. The next cut after `clockMs`, or -1 past the last;
// the previous one, the cut the clock is in unless it landed there under a second ago (then the one
// before), or 0 before the first.
inline constexpr int kCutLandingMs = 1;
int nextCutMs(int clockMs);
int previousCutMs(int clockMs);

// Pause: the music and the picture stop together; a host draws no frame while paused unless
// the clock moves (showFrameDue), but for one frame at the clock where the pause began.
bool showPaused();
void setShowPaused(bool paused);
void toggleShowPause();

// Moves of the clock. Each puts the music at the new time, primes the timeline there (drawing
// with the host's current GL context) and marks a frame due. A jump past the last cut does
// nothing: it never ends the show.
void moveShowTo(int clockMs);
void stepShowFrames(int steps);
void jumpToNextCut();
void jumpToPreviousCut();
void jumpToStart();
// A move made by other means (the arrows' seeks) that still needs a frame while paused.
void markShowFrameDue();
// Whether a frame must be drawn now though the show is paused; taking it clears it.
bool takeShowFrameDue();

// The clock now, in the milliseconds a frame reads it as.
int showClockMs();

// Back to the state at program start (playing, no frame due). For tests.
void resetShowControls();

// The controls as a host's input reaches them (tests put recorders in their place).
struct ShowControlActions {
    void (*togglePause)();
    void (*step)(int frames);
    void (*nextCut)();
    void (*previousCut)();
    void (*start)();
    void (*moveTo)(int clockMs);
    bool (*paused)() = showPaused;
    void (*setPaused)(bool paused) = setShowPaused;
};
// The functions above.
inline constexpr ShowControlActions kShowControlActions = {
    toggleShowPause, stepShowFrames, jumpToNextCut, jumpToPreviousCut, jumpToStart, moveShowTo};

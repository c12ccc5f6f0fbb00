#pragma once
// The four hooks through which the shell reaches the show.
#include <cstdint>

#include "demo/show_controls.h"
#include "shell/window_events.h"

// Set by demoInit, read by demoUpdate.
extern RenderWindow* activeWindow;

// After every window creation, with its GL context current: runs the show's start-up.
void demoInit(RenderWindow* window);
// After every inner loop, before the window goes: nothing to release (GL objects die with
// their context, everything else lives for the run).
void demoShutdown();
// Once per turn of the loop (every drawn frame, and while paused every turn): polls the keys
// in this order: Escape quits, F1 toggles full screen, Left/Right move the music by -/+500 ms,
// Up/Down by +/-5000 ms (these act in every turn while held, and once in the first turn after
// a key-down even if it is already up); then once for every press: Space pauses or resumes,
// period and comma step one frame forward and back, Page Down and Page Up jump to the next and
// previous cut, Home to the start, H holds the heads-up line or lets it go. Then the pointer:
// the heads-up line shows over the bottom bar, a press on its strip seeks there and a drag
// moves the clock with it; in full screen the pointer hides when it rests.
void demoUpdate(std::uint32_t elapsedMilliseconds);
// Whether the heads-up line is to be shown now (H, or the pointer over the bottom bar).
bool headsUpWanted();
// The heads-up line and the pointer back to their state at program start. For tests.
void resetViewerControls();
// Once per drawn frame: the frame routine, then glFlush.
void demoDraw();

// What moves the music: seekMusic unless replaced (tests record the calls). Null restores it.
using MusicSeeker = void (*)(float deltaMilliseconds);
void setMusicSeeker(MusicSeeker seeker);

// What the pause, step, cut and scrub controls call: kShowControlActions unless replaced
// (tests record the calls). Null restores them.
void setShowControlActions(const ShowControlActions* actions);

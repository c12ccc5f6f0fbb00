#pragma once
// The four hooks through which the shell reaches the show.
#include <cstdint>

#include "shell/window_events.h"

// Set by demoInit, read by demoUpdate.
extern RenderWindow* activeWindow;

// After every window creation, with its GL context current: runs the show's start-up.
void demoInit(RenderWindow* window);
// After every inner loop, before the window goes: nothing to release (GL objects die with
// their context, everything else lives for the run).
void demoShutdown();
// Once per drawn frame: polls the keys in this order: Escape quits, F1 toggles full screen,
// Left/Right move the music by -/+500 ms, Up/Down by +/-5000 ms. A key acts in every frame
// while it is held, and once in the first frame after a key-down even if it is already up.
void demoUpdate(std::uint32_t elapsedMilliseconds);
// Once per drawn frame: the frame routine, then glFlush.
void demoDraw();

// What moves the music: seekMusic unless replaced (tests record the calls). Null restores it.
using MusicSeeker = void (*)(float deltaMilliseconds);
void setMusicSeeker(MusicSeeker seeker);

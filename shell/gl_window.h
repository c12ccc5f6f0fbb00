#pragma once
// The display, the window with its GL context and picture target, and error reports.
#include <string>

#include "shell/window_events.h"

// Starts SDL's video. False when there is no display to show anything on: SDL cannot start,
// or it falls back to its invisible "offscreen" or "dummy" driver (as it does without DISPLAY).
// `reason` then says why.
bool openDisplay(std::string* reason);

// Writes `text` to standard error and, when a display exists, shows it in a message box
// titled "Error" with a warning icon.
void showError(const char* text);

// Creates the window of the record (full screen when w->fullScreen is 1, else an ordinary,
// resizable window with a w->width x w->height client area), its GL context (made current),
// the picture target and the projection for it, with all keys up. 1 on success; 0 with
// nothing left behind otherwise.
int createRenderWindow(RenderWindow* w);

// Destroys the window and its GL context and gives the desktop back (cursor shown). Always 1.
int destroyRenderWindow(RenderWindow* w);

// Shows the finished picture in the window (with the heads-up line over its bottom bar when
// given) and swaps the buffers.
struct HeadsUp;
void presentFrame(RenderWindow* w, const HeadsUp* headsUp = nullptr);

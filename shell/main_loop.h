#pragma once
#include "shell/messages.h"

// The program: defaults, the start-up dialog (`settingsDialog`, shown when there is a display),
// then one window per pass of the outer loop and one frame per idle turn of the inner loop.
// Returns the process exit status.
int winMain(bool (*settingsDialog)());

// Takes the oldest message for `window`, first turning pending SDL events into messages.
bool peekWindowMessage(Message* out, WindowHandle window);

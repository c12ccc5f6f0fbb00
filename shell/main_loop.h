#pragma once
#include "shell/messages.h"

// The program: defaults, the start-up dialog, then one window per pass of the outer loop and
// one frame per idle turn of the inner loop. Returns the process exit status.
int winMain();

// Takes the oldest message for `window`, first turning pending SDL events into messages.
bool peekWindowMessage(Message* out, WindowHandle window);

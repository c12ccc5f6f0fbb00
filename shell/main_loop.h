#pragma once

// The program: defaults, the start-up dialog (`settingsDialog`), then one window per pass of
// the outer loop and one frame per idle turn of the inner loop. Returns the process exit status.
int winMain(bool (*settingsDialog)());

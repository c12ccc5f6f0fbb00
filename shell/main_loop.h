#pragma once

// The program: defaults, the start-up dialog (`settingsDialog`), then one window per pass of
// the outer loop and one frame per idle turn of the inner loop, drawing the picture at the size
// `sizing` chooses. Returns the process exit status: 0 when the show ended, 1 when a window for
// it could not be made (at the start or after a full-screen switch), -1 without a display.
struct PictureSizing;
int winMain(bool (*settingsDialog)(), const PictureSizing& sizing);

#pragma once
#include <chrono>

// A progress bar on standard error (frames done, frames per second, time left) when it is a
// terminal; otherwise silent until the closing summary line.
struct Progress {
    int total = 0;
    int done = 0;
    bool terminal = false;
    std::chrono::steady_clock::time_point started;
    std::chrono::steady_clock::time_point lastDrawn;
};

void startProgress(Progress* progress, int total);
void advanceProgress(Progress* progress);
// Prints the summary line: frames, wall time, frames per second.
void finishProgress(Progress* progress, const char* what);

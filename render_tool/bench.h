#pragma once

// Per scene of the timeline: frames at clocks spread over its interval, timed from the start
// of drawFrame to the finished picture (read-back excluded). Prints a table, or CSV.
int runFrameBench(int framesPerScene, bool csv);

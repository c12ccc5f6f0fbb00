#pragma once

// Per scene of the timeline: frames at clocks spread over its interval, timed from the start
// of drawFrame to the finished picture (read-back excluded). The table sets each frame beside
// its fill-rate floor (the scene's draws of the same frame replayed from the drawing layer's
// kept copies, with no per-vertex work), with the scene's primitives and the frame's draw
// calls; CSV gives the frame times alone.
int runFrameBench(int framesPerScene, bool csv);

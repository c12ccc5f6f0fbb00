#pragma once
#include "render/sprite.h"

// Per scene of the timeline: frames at clocks spread over its interval, timed from the start
// of drawFrame to the finished picture (read-back excluded). The table compares the literal
// and the batched sprite paths with the fill-rate floor (the same frame's geometry drawn from
// prepared arrays, no per-sprite work); CSV gives the chosen path alone.
int runFrameBench(int framesPerScene, bool csv, SpriteDrawing drawing);

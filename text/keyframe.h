#pragma once
#include "render/vec3.h"

// One key of a track: a value and its time (an integer in the caller's unit; the scenes use
// hundredths of a second from the start of their scene). Key times strictly increase.
struct Keyframe {
    Vec3 value;
    int time;
};

// Samples a track of `count` keys at `time` with a cosine ease between neighbouring keys.
// The key search uses the time truncated toward zero; the blend uses the exact time, so a time
// less than one unit past a key still blends toward it with u a little above 1. Before the
// first key or past the last the end key's value is taken exactly. An empty track leaves
// *out unchanged.
void sampleTrack(const Keyframe* keys, int count, float time, Vec3* out);

// out = a blended toward b with the weight (1 - cos(3.14 u)) / 2; returns out.
Vec3* easeVec3(Vec3* out, const Vec3* a, const Vec3* b, float u);

// 0 before start, 1 from end on, linear in between; a step at start when end <= start.
float ramp(float start, float end, float t);

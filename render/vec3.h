#pragma once

// Three 32-bit floats: positions, directions and colours of the show.
struct Vec3 {
    float x;
    float y;
    float z;
};

// Component-wise sum and difference, each component rounded to a float.
Vec3 vec3Add(Vec3 a, Vec3 b);
Vec3 vec3Sub(Vec3 a, Vec3 b);

// Scales v to unit length in place; a zero vector is left unchanged.
void vec3Normalize(Vec3* v);

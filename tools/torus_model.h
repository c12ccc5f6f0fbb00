#pragma once
#include <string>

// The torus model as OBJ text: a comment header, positions (v), texture coordinates (vt),
// normals (vn) and quad faces in the position/texture/normal form, split into the groups
// "outer" (the half facing away from the axis) and "inner".
inline constexpr int kTorusRingSegments = 32; // around the main axis
inline constexpr int kTorusTubeSegments = 16; // around the tube
inline constexpr float kTorusMajorRadius = 1.0f;
inline constexpr float kTorusMinorRadius = 0.4f;

std::string makeTorusObj();

#pragma once

// 4 x 4 matrices as OpenGL keeps them: 16 floats, column-major (element (row, col) at
// [col * 4 + row]), built and multiplied in single precision with the formulas of OpenGL 1.1's
// matrix calls, so that a picture drawn through them matches one drawn by a fixed-function GL.

inline constexpr float kIdentityMatrix[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};

// out = a x b. `out` may not alias `a` or `b`.
void multiplyMatrices(const float* a, const float* b, float* out);

// m = m x translation(x, y, z), in place.
void translateMatrix(float* m, float x, float y, float z);
// m = m x scaling(x, y, z), in place.
void scaleMatrix(float* m, float x, float y, float z);
// The rotation by `degrees` about the axis (x, y, z), normalised; rotations about a main axis
// are built exactly (no normalisation). False, and `out` untouched, for an axis shorter
// than 1e-4.
bool rotationMatrix(float degrees, float x, float y, float z, float* out);
// The orthographic projection of glOrtho.
void orthoMatrix(float left, float right, float bottom, float top, float nearZ, float farZ,
                 float* out);
// The perspective projection of gluPerspective (formed in double, stored as float). False,
// and `out` untouched, when the arguments give no projection (zero depth range, field of view
// or aspect).
bool perspectiveMatrix(double fovyDegrees, double aspect, double nearZ, double farZ, float* out);

// A point in clip coordinates.
struct ClipVertex {
    float x;
    float y;
    float z;
    float w;
};

// m x (x, y, z, 1).
ClipVertex transformPoint(const float* m, float x, float y, float z);

// The clip planes a vertex lies outside of, one bit each: -x, +x, -y, +y, -z, +z.
unsigned clipOutcode(const ClipVertex& v);

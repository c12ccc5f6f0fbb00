#include "draw/matrix.h"

#include <cmath>
#include <cstring>

static constexpr double kPi = 3.14159265358979323846;

void multiplyMatrices(const float* const a, const float* const b, float* const out) {
    for (int row = 0; row < 4; ++row) {
        const float a0 = a[row];
        const float a1 = a[4 + row];
        const float a2 = a[8 + row];
        const float a3 = a[12 + row];
        for (int col = 0; col < 4; ++col) {
            const float* const b_col = b + col * 4;
            out[col * 4 + row] = a0 * b_col[0] + a1 * b_col[1] + a2 * b_col[2] + a3 * b_col[3];
        }
    }
}

void translateMatrix(float* const m, const float x, const float y, const float z) {
    for (int row = 0; row < 4; ++row) {
        m[12 + row] = m[row] * x + m[4 + row] * y + m[8 + row] * z + m[12 + row];
    }
}

void scaleMatrix(float* const m, const float x, const float y, const float z) {
    for (int row = 0; row < 4; ++row) {
        m[row] *= x;
        m[4 + row] *= y;
        m[8 + row] *= z;
    }
}

// Element (row, col) of a column-major matrix.
static float& at(float* const m, const int row, const int col) {
    return m[col * 4 + row];
}

// The rotation about one main axis: `a` and `b` are the two axes it turns into each other.
static void mainAxisRotation(const float s, const float c, const int a, const int b,
                             const bool negative, float* const m) {
    at(m, a, a) = c;
    at(m, b, b) = c;
    at(m, a, b) = negative ? s : -s;
    at(m, b, a) = negative ? -s : s;
}

bool rotationMatrix(const float degrees, float x, float y, float z, float* const out) {
    const float radians = static_cast<float>(static_cast<double>(degrees) * kPi / 180.0);
    const float s = std::sin(radians);
    const float c = std::cos(radians);
    float m[16];
    std::memcpy(m, kIdentityMatrix, sizeof(m));
    if (x == 0.0f && y == 0.0f && z != 0.0f) {
        mainAxisRotation(s, c, 0, 1, z < 0.0f, m);
    } else if (x == 0.0f && z == 0.0f && y != 0.0f) {
        mainAxisRotation(s, c, 2, 0, y < 0.0f, m);
    } else if (y == 0.0f && z == 0.0f && x != 0.0f) {
        mainAxisRotation(s, c, 1, 2, x < 0.0f, m);
    } else {
        const float length = std::sqrt(x * x + y * y + z * z);
        if (!(length > 1.0e-4f)) {
            return false;
        }
        x /= length;
        y /= length;
        z /= length;
        const float oneMinusC = 1.0f - c;
        at(m, 0, 0) = oneMinusC * (x * x) + c;
        at(m, 0, 1) = oneMinusC * (x * y) - z * s;
        at(m, 0, 2) = oneMinusC * (z * x) + y * s;
        at(m, 1, 0) = oneMinusC * (x * y) + z * s;
        at(m, 1, 1) = oneMinusC * (y * y) + c;
        at(m, 1, 2) = oneMinusC * (y * z) - x * s;
        at(m, 2, 0) = oneMinusC * (z * x) - y * s;
        at(m, 2, 1) = oneMinusC * (y * z) + x * s;
        at(m, 2, 2) = oneMinusC * (z * z) + c;
    }
    std::memcpy(out, m, sizeof(m));
    return true;
}

void orthoMatrix(const float left, const float right, const float bottom, const float top,
                 const float nearZ, const float farZ, float* const out) {
    std::memcpy(out, kIdentityMatrix, sizeof(kIdentityMatrix));
    at(out, 0, 0) = 2.0f / (right - left);
    at(out, 0, 3) = -(right + left) / (right - left);
    at(out, 1, 1) = 2.0f / (top - bottom);
    at(out, 1, 3) = -(top + bottom) / (top - bottom);
    at(out, 2, 2) = -2.0f / (farZ - nearZ);
    at(out, 2, 3) = -(farZ + nearZ) / (farZ - nearZ);
}

bool perspectiveMatrix(const double fovyDegrees, const double aspect, const double nearZ,
                       const double farZ, float* const out) {
    const double radians = fovyDegrees / 2.0 * kPi / 180.0;
    const double depth = farZ - nearZ;
    const double sine = std::sin(radians);
    if (depth == 0.0 || sine == 0.0 || aspect == 0.0) {
        return false;
    }
    const double cotangent = std::cos(radians) / sine;
    std::memset(out, 0, 16 * sizeof(float));
    at(out, 0, 0) = static_cast<float>(cotangent / aspect);
    at(out, 1, 1) = static_cast<float>(cotangent);
    at(out, 2, 2) = static_cast<float>(-(farZ + nearZ) / depth);
    at(out, 3, 2) = -1.0f;
    at(out, 2, 3) = static_cast<float>(-2.0 * nearZ * farZ / depth);
    return true;
}

ClipVertex transformPoint(const float* const m, const float x, const float y, const float z) {
    return ClipVertex{
        m[0] * x + m[4] * y + m[8] * z + m[12], m[1] * x + m[5] * y + m[9] * z + m[13],
        m[2] * x + m[6] * y + m[10] * z + m[14], m[3] * x + m[7] * y + m[11] * z + m[15]};
}

unsigned clipOutcode(const ClipVertex& v) {
    return (v.x < -v.w ? 1u : 0u) | (v.x > v.w ? 2u : 0u) | (v.y < -v.w ? 4u : 0u) |
           (v.y > v.w ? 8u : 0u) | (v.z < -v.w ? 16u : 0u) | (v.z > v.w ? 32u : 0u);
}

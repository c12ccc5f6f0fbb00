#include "render/vec3.h"

#include <cmath>

Vec3 vec3Add(const Vec3 a, const Vec3 b) {
    return Vec3{a.x + b.x, a.y + b.y, a.z + b.z};
}

Vec3 vec3Sub(const Vec3 a, const Vec3 b) {
    return Vec3{a.x - b.x, a.y - b.y, a.z - b.z};
}

void vec3Normalize(Vec3* const v) {
    const double length =
        std::sqrt(static_cast<double>(v->x) * v->x + static_cast<double>(v->y) * v->y +
                  static_cast<double>(v->z) * v->z);
    if (length > 0.0) {
        v->x = static_cast<float>(v->x / length);
        v->y = static_cast<float>(v->y / length);
        v->z = static_cast<float>(v->z / length);
    }
}

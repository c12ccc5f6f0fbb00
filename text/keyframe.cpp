#include "text/keyframe.h"

#include <climits>
#include <cmath>

// The time truncated toward zero, saturated at the ends of the int range (0 for NaN), so that
// no time can overflow the conversion.
static int truncatedTime(const float time) {
    if (std::isnan(time)) {
        return 0;
    }
    if (time >= 2147483648.0f) {
        return INT_MAX;
    }
    if (time < -2147483648.0f) {
        return INT_MIN;
    }
    return static_cast<int>(time);
}

void sampleTrack(const Keyframe* const keys, const int count, const float time, Vec3* const out) {
    if (keys == nullptr || count < 1) {
        return; // no key to take a value from: out stays as it is
    }
    const int whole = truncatedTime(time);
    if (count == 1 || whole < keys[0].time) {
        *out = keys[0].value;
        return;
    }
    int i = 0;
    while (i < count && keys[i].time < whole) {
        ++i;
    }
    if (i == count) {
        *out = keys[count - 1].value;
        return;
    }
    if (i == 0) {
        i = 1;
    }
    const float previous = static_cast<float>(keys[i - 1].time);
    const float next = static_cast<float>(keys[i].time);
    const float u = (time - previous) / (next - previous);
    easeVec3(out, &keys[i - 1].value, &keys[i].value, u);
}

Vec3* easeVec3(Vec3* const out, const Vec3* const a, const Vec3* const b, const float u) {
    const double w = (1.0 - std::cos(3.14 * static_cast<double>(u))) * 0.5;
    out->x = static_cast<float>((1.0 - w) * a->x + w * b->x);
    out->y = static_cast<float>((1.0 - w) * a->y + w * b->y);
    out->z = static_cast<float>((1.0 - w) * a->z + w * b->z);
    return out;
}

float ramp(const float start, const float end, const float t) {
    if (t < start) {
        return 0.0f;
    }
    if (t >= end) {
        return 1.0f;
    }
    return (t - start) / (end - start);
}

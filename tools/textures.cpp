#include "tools/textures.h"

#include <algorithm>
#include <cmath>

namespace {

std::uint8_t toByte(float value) {
    return static_cast<std::uint8_t>(std::lround(std::clamp(value, 0.0f, 255.0f)));
}

// How dark the centre of the particle gets: 0 would leave the picture untouched, 255 black.
constexpr float kParticleDepth = 215.0f;
// The dot's radius in texels at scale 1; two texels of white remain along every edge.
constexpr float kParticleRadius = 30.0f;

} // namespace

float particleDarkness(float radius) {
    if (radius >= 1.0f) {
        return 0.0f;
    }
    const float falloff = 1.0f - radius * radius;
    return falloff * falloff * falloff;
}

Image makeParticleImage(const int scale) {
    const int size = kParticleSize * scale;
    const float dotRadius = kParticleRadius * static_cast<float>(scale);
    Image image = makeImage(size, size, 3, 255);
    const float centre = (size - 1) * 0.5f;
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            const float radius = std::hypot(x - centre, y - centre) / dotRadius;
            const std::uint8_t grey = toByte(255.0f - kParticleDepth * particleDarkness(radius));
            std::fill_n(image.at(x, y), 3, grey);
        }
    }
    return image;
}

namespace {

struct Rgb {
    float r, g, b;
};

Rgb mix(Rgb a, Rgb b, float amount) {
    return {a.r + (b.r - a.r) * amount, a.g + (b.g - a.g) * amount, a.b + (b.b - a.b) * amount};
}

float smoothStep(float edge0, float edge1, float x) {
    const float u = std::clamp((x - edge0) / (edge1 - edge0), 0.0f, 1.0f);
    return u * u * (3.0f - 2.0f * u);
}

// The wing in coordinates with the root at the origin: u runs from the body line (0) out to
// the tip (1), v upward (positive: forewing, negative: hindwing).
// Returns the outline value: below 1 inside the wing.
float wingOutline(float u, float v) {
    // Forewing: an ellipse swept up and out from the root.
    const float angleF = 0.55f;
    const float fu = (u * std::cos(angleF) + v * std::sin(angleF)) / 0.98f;
    const float fv = (-u * std::sin(angleF) + v * std::cos(angleF)) / 0.42f;
    const float fore = (fu - 0.45f) * (fu - 0.45f) * 4.0f + fv * fv;
    // Hindwing: a rounder lobe hanging down and out.
    const float angleH = -0.75f;
    const float hu = (u * std::cos(angleH) + v * std::sin(angleH)) / 0.72f;
    const float hv = (-u * std::sin(angleH) + v * std::cos(angleH)) / 0.40f;
    const float hind = (hu - 0.45f) * (hu - 0.45f) * 4.0f + hv * hv;
    return std::min(fore, hind);
}

// Directions of the veins from the root, in radians from the u axis.
constexpr float kVeins[] = {1.05f, 0.80f, 0.58f, 0.38f, 0.20f, -0.15f, -0.42f, -0.70f, -0.98f};

Rgb wingColour(float u, float v) {
    const Rgb white{255, 255, 255};
    const float outline = wingOutline(u, v);
    if (outline >= 1.0f) {
        return white;
    }
    // Warm orange panels, deep red near the root.
    const float distance = std::hypot(u, v);
    Rgb colour = mix(Rgb{150, 30, 20}, Rgb{255, 170, 70}, smoothStep(0.05f, 0.55f, distance));
    // Black veins radiating from the root, thinning outward.
    const float angle = std::atan2(v, u);
    float veinAmount = 0.0f;
    for (const float vein : kVeins) {
        const float across = std::abs(angle - vein) * distance;
        veinAmount = std::max(veinAmount, 1.0f - smoothStep(0.004f, 0.012f, across));
    }
    colour = mix(colour, Rgb{25, 15, 10}, veinAmount * smoothStep(0.03f, 0.12f, distance));
    // A dark border band along the outline with white spots in it.
    const float border = smoothStep(0.62f, 0.72f, outline);
    colour = mix(colour, Rgb{20, 12, 10}, border);
    // A row of pale dots along the middle of the band, as on a monarch's wing.
    const float dots = smoothStep(0.55f, 0.9f, std::cos(angle * 26.0f)) *
                       (1.0f - smoothStep(0.0f, 0.045f, std::abs(outline - 0.84f)));
    colour = mix(colour, Rgb{250, 240, 220}, dots * smoothStep(0.15f, 0.3f, distance));
    // Soften the very edge so the wing does not end in a hard stair-step.
    return mix(colour, white, smoothStep(0.94f, 1.0f, outline));
}

} // namespace

Image makeButterflyImage(const int scale) {
    const int size = kButterflySize * scale;
    Image upright = makeImage(size, size, 3, 255);
    const float unit = 1.0f / (size - 1);
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            // Root at the right edge, a little above the middle; tip toward the left edge.
            const float u = (size - 1 - x) * unit * 1.12f;
            const float v = (size * 0.47f - y) * unit * 1.45f;
            const Rgb colour = wingColour(u, v);
            std::uint8_t* pixel = upright.at(x, y);
            pixel[0] = toByte(colour.r);
            pixel[1] = toByte(colour.g);
            pixel[2] = toByte(colour.b);
        }
    }
    return flipRows(upright);
}

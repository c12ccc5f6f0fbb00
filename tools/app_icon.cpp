#include "tools/app_icon.h"

#include <algorithm>
#include <cmath>

#include "tools/textures.h"

namespace {

constexpr int kSamples = 4;       // per pixel along each axis
constexpr float kCorner = 0.18f;  // corner radius of the square, in icon widths
constexpr float kBar = 0.17f;     // height of each letterbox bar, in icon widths
constexpr int kParticles = 120;   // along the spiral's two arms, from the centre outward
constexpr float kTurns = 1.25f;   // turns of each arm
constexpr float kDarkest = 0.45f; // darkness of a particle's centre

bool insideRoundedSquare(float x, float y) {
    const float dx = std::max({kCorner - x, x - (1.0f - kCorner), 0.0f});
    const float dy = std::max({kCorner - y, y - (1.0f - kCorner), 0.0f});
    return x >= 0.0f && x <= 1.0f && y >= 0.0f && y <= 1.0f &&
           dx * dx + dy * dy <= kCorner * kCorner;
}

struct Particle {
    float x, y, radius;
};

// A fixed-seed generator, so the cloud is the same on every run.
float jitter(std::uint32_t* state) {
    *state = *state * 1664525u + 1013904223u;
    return static_cast<float>(*state >> 8) / 16777216.0f - 0.5f;
}

// A two-armed spiral cloud seen at a slant; particles grow and scatter as the arms wind out.
Particle spiralParticle(int i) {
    std::uint32_t state = 7919u * static_cast<std::uint32_t>(i) + 17u;
    const float along = static_cast<float>(i / 2) / (kParticles / 2 - 1);
    const float angle = 6.2831853f * kTurns * along + 3.1415927f * (i % 2) + 0.4f;
    const float reach = 0.07f + 0.33f * along;
    const float scatter = 0.02f + 0.06f * along;
    return {0.5f + reach * std::cos(angle) + scatter * jitter(&state),
            0.5f + 0.5f * reach * std::sin(angle) + scatter * jitter(&state),
            0.03f + 0.045f * along + 0.02f * jitter(&state)};
}

// The colour at a point of the band: the background with every particle multiplied into it,
// then a glow that lights the middle over everything, as the show's glow does.
void bandColour(float x, float y, float rgb[3]) {
    const float background[3] = {217.0f, 110.0f, 0.0f};
    const float light[3] = {255.0f, 236.0f, 170.0f};
    std::copy_n(background, 3, rgb);
    for (int i = 0; i < kParticles; ++i) {
        const Particle p = spiralParticle(i);
        const float keep =
            1.0f - kDarkest * particleDarkness(std::hypot(x - p.x, y - p.y) / p.radius);
        for (int c = 0; c < 3; ++c) {
            rgb[c] *= keep;
        }
    }
    const float glow = std::max(0.0f, 1.0f - std::hypot(x - 0.5f, (y - 0.5f) * 1.4f) / 0.3f);
    for (int c = 0; c < 3; ++c) {
        rgb[c] += (light[c] - rgb[c]) * 0.85f * glow * glow;
    }
}

} // namespace

Image makeAppIcon(const int size) {
    Image icon = makeImage(size, size, 4, 0);
    for (int py = 0; py < size; ++py) {
        for (int px = 0; px < size; ++px) {
            float sum[3] = {0.0f, 0.0f, 0.0f};
            int covered = 0;
            for (int sy = 0; sy < kSamples; ++sy) {
                for (int sx = 0; sx < kSamples; ++sx) {
                    const float x = (px + (sx + 0.5f) / kSamples) / size;
                    const float y = (py + (sy + 0.5f) / kSamples) / size;
                    if (!insideRoundedSquare(x, y)) {
                        continue;
                    }
                    ++covered;
                    if (y < kBar || y > 1.0f - kBar) {
                        continue; // black bar
                    }
                    float rgb[3];
                    bandColour(x, y, rgb);
                    for (int c = 0; c < 3; ++c) {
                        sum[c] += rgb[c];
                    }
                }
            }
            std::uint8_t* pixel = icon.at(px, py);
            for (int c = 0; c < 3 && covered > 0; ++c) {
                pixel[c] = static_cast<std::uint8_t>(std::lround(sum[c] / covered));
            }
            pixel[3] =
                static_cast<std::uint8_t>(std::lround(255.0f * covered / (kSamples * kSamples)));
        }
    }
    return icon;
}

#include <cmath>

#include "draw/draw.h"
#include "render/sprite.h"
#include "scenes/scenes.h"
#include "state/music_clock.h"
#include "state/texture_slots.h"

static constexpr int kKnotParticles = 6000;
// The angle step between particles: 3.14 / 30, a little short of a sixtieth of a turn.
static constexpr double kKnotStep = 3.14 / 30.0;

void drawKnotCurve(const float xWeight, const float yWeight, const float zWeight) {
    const float t = MusicClock;
    draw::loadIdentity();
    draw::translate(0.0f, 0.0f, -50.0f);
    draw::rotate(t + 310.0f, 0.0f, 1.0f, 0.0f);
    draw::rotate(20.0f, 1.0f, 0.0f, 0.0f);
    draw::color(1.0f, 1.0f, 1.0f);
    draw::enableTexturing(true);
    for (int i = 0; i < kKnotParticles; ++i) {
        const double u = i * kKnotStep;
        const float x = static_cast<float>(5.0 * (xWeight * (std::cos(u) + std::cos(3.0 * u)) +
                                                  std::cos(2.0 * u) + std::cos(4.0 * u)));
        const float y =
            static_cast<float>(3.0 * (yWeight * std::sin(u) + 10.0 * std::sin(3.0 * u)));
        const float z =
            static_cast<float>(5.0 * (zWeight * std::sin(2.5 * u) * std::sin(3.0 * u) +
                                      4.0 * std::sin(4.0 * u) - 2.0 * std::sin(6.0 * u)) +
                               0.4 * std::sin(t + y));
        const float phase = static_cast<float>(i) + t;
        const float size = static_cast<float>(0.8 + 0.5 * (std::sin(phase) + std::cos(phase)));
        drawSprite(x, y, z, size, kParticleSlot);
    }
    draw::color(1.0f, 1.0f, 1.0f, 1.0f);
    draw::enableBlending(false);
}

#include <cmath>

#include "draw/draw.h"
#include "render/sprite.h"
#include "state/music_clock.h"
#include "state/texture_slots.h"

// Scene 1: a 40 x 40 sheet just below the eye; a ripple runs along j while each row i keeps a
// fixed bend.
void drawWaveSheet() {
    const float t = MusicClock;
    draw::loadIdentity();
    draw::translate(0.0f, -0.7f, -25.0f);
    draw::rotate(t - 40.0f, 0.0f, 1.0f, 0.0f);
    draw::enableTexturing(true);
    for (int i = 0; i < 40; ++i) {
        const double profile = std::cos(static_cast<double>(i)) / 3.0;
        for (int j = 0; j < 40; ++j) {
            const float ripple = static_cast<float>(j) + t;
            const float y =
                static_cast<float>(0.125 * std::sin(static_cast<double>(ripple)) + profile - 0.5);
            drawSprite(static_cast<float>(i - 20), y, static_cast<float>(j - 20), 0.29f,
                       kParticleSlot);
        }
    }
    draw::enableBlending(false);
}

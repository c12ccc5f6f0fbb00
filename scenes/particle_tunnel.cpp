#include <cmath>

#include "draw/draw.h"
#include "render/sprite.h"
#include "state/music_clock.h"
#include "state/texture_slots.h"

// Scene 2: a tube of radius 1, two particles per unit of length, flown through at one unit
// per second, slightly off-centre and at a small angle.
void drawParticleTunnel() {
    const float t = MusicClock;
    draw::loadIdentity();
    draw::rotate(7.0f, 0.0f, 1.0f, 0.0f);
    draw::translate(2.0f, 0.0f, t - 10.0f);
    draw::enableTexturing(true);
    for (int i = 0; i < 2000; ++i) {
        const double angle = static_cast<double>(i);
        const float z = static_cast<float>(i / 2 - 950);
        drawSprite(static_cast<float>(std::sin(angle)), static_cast<float>(std::cos(angle)), z,
                   0.35f, kParticleSlot);
    }
    draw::enableBlending(false);
}

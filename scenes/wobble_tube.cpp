#include <cmath>

#include "draw/draw.h"
#include "render/sprite.h"
#include "scenes/scenes.h"
#include "state/music_clock.h"
#include "state/texture_slots.h"

static constexpr int kTubeParticles = 6000;
// How fast the tube moves toward the eye, in units per second.
static constexpr float kTubeSpeed = 0.58823526f;

void drawWobbleTube() {
    const float t = MusicClock;
    draw::loadIdentity();
    draw::translate(0.0f, 0.0f, kTubeSpeed * t - 10.0f);
    draw::enableTexturing(true);
    for (int i = 0; i < kTubeParticles; ++i) {
        // Four particles on every whole z, from -1450 to 49.
        const float z = static_cast<float>(i / 4 - 1450);
        const double angle = static_cast<double>(i);
        const float x = static_cast<float>(4.0 * std::sin(angle) + std::sin(z + t));
        const float y = static_cast<float>(4.0 * std::cos(angle));
        drawSprite(x, y, z, 0.5f, kParticleSlot);
    }
    // One larger particle fixed straight ahead of the eye.
    draw::loadIdentity();
    drawSprite(0.0f, 0.0f, -10.0f, 1.2f, kParticleSlot);
    draw::enableBlending(false);
}

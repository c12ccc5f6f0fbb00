#include <cmath>

#include "draw/draw.h"
#include "render/sprite.h"
#include "scenes/scenes.h"
#include "state/music_clock.h"
#include "state/random.h"
#include "state/texture_slots.h"

Vec3 sphereDirections[kSphereDirectionCount];

static constexpr int kSphereParticles = 500;

// A whole number from -20 to 29: the directions lean toward positive x, y and z.
static float sphereCoordinate() {
    return static_cast<float>(nextRandom() % 50 - 20);
}

void scatterSphereDirections() {
    scatterPoints(sphereDirections, kSphereDirectionCount, sphereCoordinate);
    for (Vec3& direction : sphereDirections) {
        vec3Normalize(&direction);
    }
}

void drawParticleSphere() {
    const float t = MusicClock;
    draw::loadIdentity();
    draw::translate(1.5f, 0.0f, -5.0f);
    draw::rotate(2.0f * t, 0.0f, 1.0f, 0.0f);
    draw::enableTexturing(true);
    for (int i = 0; i < kSphereParticles; ++i) {
        const Vec3 p = sphereDirections[i];
        const float size = static_cast<float>(0.14 + 0.05 * std::sin(static_cast<float>(i) + t));
        drawSprite(p.x, p.y, p.z, size, kParticleSlot);
    }
}

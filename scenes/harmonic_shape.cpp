#include <cmath>

#include "draw/draw.h"
#include "render/sprite.h"
#include "scenes/scenes.h"
#include "state/music_clock.h"
#include "state/texture_slots.h"

static constexpr int kThetaSteps = 60;
static constexpr int kPhiSteps = 60;
// The float values of 3.14 / 30 and 3.14 / 60.
static constexpr float kThetaStep = 0.104666665f;
static constexpr float kPhiStep = 0.052333333f;

Vec3 harmonicPoint(const double theta, const double phi) {
    const double a = std::sin(3.0 * phi);
    const double b = std::cos(2.0 * phi);
    // A negative radius puts the point on the far side of the centre.
    const double r = a * a + b * b + std::cos(3.0 * theta);
    return Vec3{static_cast<float>(r * std::sin(phi) * std::cos(theta)),
                static_cast<float>(r * std::cos(phi)),
                static_cast<float>(r * std::sin(phi) * std::sin(theta))};
}

void drawHarmonicShape() {
    const float t = MusicClock;
    draw::loadIdentity();
    draw::translate(-3.0f, 0.0f, -12.0f);
    draw::rotate(10.0f * t, 1.0f, 1.0f, 0.0f);
    draw::enableTexturing(true);
    for (int i = 0; i < kThetaSteps; ++i) {
        const float theta = static_cast<float>(i) * kThetaStep;
        for (int j = 0; j < kPhiSteps; ++j) {
            const float phi = static_cast<float>(j) * kPhiStep;
            const Vec3 p = harmonicPoint(theta, phi);
            drawSprite(p.x, p.y, p.z, 0.1f, kParticleSlot);
        }
    }
    draw::enableBlending(false);
}

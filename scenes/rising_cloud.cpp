#include <cmath>

#include "draw/draw.h"
#include "render/sprite.h"
#include "scenes/scenes.h"
#include "state/music_clock.h"
#include "state/texture_slots.h"

// Scene 0: the wide cloud rises past the eye while it turns about the vertical axis. Every
// frame drifts each point sideways and the drift stays in the cloud.
void drawRisingCloud() {
    const float t = MusicClock;
    draw::loadIdentity();
    draw::translate(-1.0f, t - 33.0f, -8.0f);
    draw::rotate(t, 0.0f, 1.0f, 0.0f);
    draw::enableTexturing(true);
    for (int i = 0; i < kCloudPointCount; ++i) {
        Vec3& p = cloudPoints[i];
        p.x = static_cast<float>(p.x + 0.005 * std::sin(static_cast<double>(t + p.y)));
        const float size = static_cast<float>(std::sin(static_cast<double>(i)) + 1.5);
        drawSprite(p.x, p.y, p.z, size, kParticleSlot);
    }
    draw::enableBlending(false);
}

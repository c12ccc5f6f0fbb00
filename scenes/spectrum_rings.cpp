#include <cmath>

#include "draw/draw.h"
#include "render/sprite.h"
#include "state/music_clock.h"
#include "state/spectrum.h"
#include "state/texture_slots.h"

// Scene 4: six concentric rings of radii 1 to 6 with a travelling ripple, ring r lifted by
// spectrum band r. The spectrum is copied after the scene, so it is the previous frame's.
void drawSpectrumRings() {
    const float t = MusicClock;
    draw::loadIdentity();
    draw::translate(0.0f, -0.8f, -10.0f);
    draw::rotate(180.0f - 2.0f * t, 0.0f, 1.0f, 0.0f);
    draw::rotate(12.0f, 1.0f, 0.0f, 0.0f);
    draw::enableTexturing(true);
    for (int r = 1; r <= 6; ++r) {
        const float level = Spectrum[r];
        const double radius = static_cast<double>(r);
        for (int j = 0; j < 800; ++j) {
            const double angle = static_cast<double>(j);
            const float x = static_cast<float>(radius * std::sin(angle));
            const float z = static_cast<float>(radius * std::cos(angle));
            const float y =
                static_cast<float>(std::sin(0.5 * t + angle * radius) / 11.0 + 0.04 * level);
            drawSprite(x, y, z, 0.15f, kParticleSlot);
        }
    }
    draw::enableBlending(false);
}

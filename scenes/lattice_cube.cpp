#include <cmath>

#include "draw/draw.h"
#include "render/sprite.h"
#include "state/music_clock.h"
#include "state/texture_slots.h"

// Scene 3: a 10 x 10 x 10 lattice tumbling about the diagonal (1, 1, 0); the sprite sizes pulse
// in a diagonal wave and the layers shimmer slightly in depth.
void drawLatticeCube() {
    const float t = MusicClock;
    draw::loadIdentity();
    draw::translate(0.0f, 0.0f, -10.0f);
    draw::rotate(t + 400.0f, 1.0f, 1.0f, 0.0f);
    draw::enableTexturing(true);
    for (int a = 0; a < 10; ++a) {
        for (int m = 0; m < 10; ++m) {
            for (int n = 0; n < 10; ++n) {
                const double x = static_cast<double>(a - 5);
                const double y = static_cast<double>(n - 5);
                const double shimmer = std::sin(x * y + t) / 30.0;
                const float z = static_cast<float>(static_cast<double>(m - 5) + shimmer);
                const float size =
                    static_cast<float>(0.35 + 0.25 * std::sin(static_cast<double>(t) + a + m - n));
                drawSprite(static_cast<float>(x), static_cast<float>(y), z, size, kParticleSlot);
            }
        }
    }
    draw::enableBlending(false);
}

#include <cmath>

#include "draw/draw.h"
#include "render/sprite.h"
#include "scenes/scenes.h"
#include "state/music_clock.h"
#include "state/random.h"
#include "state/texture_slots.h"
#include "text/keyframe.h"

// The compact cloud: every coordinate a multiple of 0.125 from -3.125 to 3.0.
Vec3 smallCloudPoints[kSmallCloudPointCount];

static float nextSmallCloudCoordinate() {
    return static_cast<float>((nextRandom() % 50 - 25) * 0.125);
}

void scatterSmallCloudPoints() {
    scatterPoints(smallCloudPoints, kSmallCloudPointCount, nextSmallCloudCoordinate);
}

// Scene 5: the first 600 points swing between the wide cloud (as scene 0's drift left it) and
// the compact cloud with an eased blend, while the whole turns about (0, 1, 1).
void drawCloudMorph() {
    constexpr int kMorphPointCount = 600;
    const float t = MusicClock;
    draw::loadIdentity();
    draw::translate(0.0f, 0.0f, -15.0f);
    draw::rotate(t, 0.0f, 1.0f, 1.0f);
    draw::enableTexturing(true);
    const float u = static_cast<float>(std::sin(0.2 * t));
    for (int i = 0; i < kMorphPointCount; ++i) {
        Vec3 p;
        easeVec3(&p, &cloudPoints[i], &smallCloudPoints[i], u);
        drawSprite(p.x, p.y, p.z, 0.38f, kParticleSlot);
    }
}

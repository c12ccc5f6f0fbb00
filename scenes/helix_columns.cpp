#include <cmath>

#include "draw/draw.h"
#include "render/sprite.h"
#include "scenes/scenes.h"
#include "state/music_clock.h"
#include "state/texture_slots.h"

struct HelixColumn {
    Vec3 position;
    float extraTurn; // degrees
};

static const HelixColumn helixColumns[] = {
    {{-13.0f, 0.0f, -30.0f}, 0.0f},
    {{-1.0f, 0.0f, -15.0f}, 200.0f},
};

// The two strands of every rung, in drawing order.
static const Vec3 strandOffsets[] = {{2.5f, 0.0f, 0.0f}, {-2.5f, 0.0f, 0.0f}};

static constexpr int kRungCount = 1000;

static void drawColumn(const HelixColumn& column, const float t) {
    draw::loadIdentity();
    draw::translate(column.position.x, column.position.y, column.position.z);
    draw::rotate(30.0f * t + column.extraTurn, 0.0f, 1.0f, 0.0f);
    draw::enableTexturing(true);
    for (int m = 0; m < kRungCount; ++m) {
        const float rung = static_cast<float>(m);
        const Vec3 centre{0.0f, rung / 8.0f - 40.0f, 0.0f};
        const float size = static_cast<float>(0.38 + 0.15 * std::cos(3.0f * t + rung));
        for (const Vec3& offset : strandOffsets) {
            draw::pushMatrix();
            draw::rotate(10.0f * rung, 0.0f, 1.0f, 0.0f);
            const Vec3 p = vec3Add(centre, offset);
            drawSprite(p.x, p.y, p.z, size, kParticleSlot);
            draw::popMatrix();
        }
    }
}

void drawHelixColumns() {
    const float t = MusicClock;
    for (const HelixColumn& column : helixColumns) {
        drawColumn(column, t);
    }
}

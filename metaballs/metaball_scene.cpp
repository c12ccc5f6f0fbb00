#include "metaballs/metaball_scene.h"

#include <cmath>

#include "draw/draw.h"
#include "metaballs/metaball_globals.h"
#include "render/sprite.h"
#include "state/music_clock.h"
#include "state/random.h"
#include "state/texture_slots.h"

namespace {

// 1/3 rounded to a 32-bit float, as the paths use it.
constexpr double kThird = static_cast<double>(0.33333334f);
// A lone ball's surface lies at distance 11: seeds start one unit inside it.
constexpr std::int32_t kSeedOffset = 10;
constexpr float kMeshScale = 0.1f;
constexpr float kSpriteSize = 0.23f;
constexpr int kRandomDrawsPerBall = 3;

IntVec3 ballCentre(const double t, const double a) {
    const double x = std::sin(t * 0.5 - a) * 38.0;
    const double y = std::cos(t * kThird + a) * 31.0;
    const double z = std::cos(std::sin(a - t * kThird) + (t * kThird + a)) * 33.0;
    return IntVec3{static_cast<std::int32_t>(x), static_cast<std::int32_t>(y),
                   static_cast<std::int32_t>(z)};
}

// Walks from one unit inside the ball's +x side towards -x until a cell with an outside corner
// or an already processed cell, or until the walk leaves the grid; returns the anchor reached.
IntVec3 findSeed(SurfacePolygonizer& polygonizer, const IntVec3 ball) {
    std::int32_t x = ball.x + kSeedOffset;
    if (x < -polygonizer.halfExtent.x) {
        return IntVec3{x, ball.y, ball.z};
    }
    for (;;) {
        if (polygonizer.isVisited(x, ball.y, ball.z)) {
            break;
        }
        if (polygonizer.cubeIndex(x, ball.y, ball.z) != 0) {
            break;
        }
        x -= polygonizer.cellSize.x;
        if (x < -polygonizer.halfExtent.x) {
            break;
        }
    }
    return IntVec3{x, ball.y, ball.z};
}

} // namespace

void moveMetaballs(const float t) {
    for (int i = 0; i < kMetaballCount; ++i) {
        ballPositions[i] = ballCentre(static_cast<double>(t), static_cast<double>(i));
    }
}

void buildMetaballMesh() {
    surfacePolygonizer.clear();
    metaballField.clearCache();
    for (int i = 0; i < kMetaballCount; ++i) {
        const IntVec3 seed = findSeed(surfacePolygonizer, ballPositions[i]);
        surfacePolygonizer.polygonize(seed.x, seed.y, seed.z);
    }
}

void drawMetaballMesh(const float t) {
    draw::loadIdentity();
    draw::enableTexturing(true);
    draw::translate(-7.0f, 0.0f, -18.0f);
    draw::rotate(t * 10.0f, 0.0f, 1.0f, 0.0f);
    draw::rotate(t * -12.0f, 0.0f, 0.0f, 1.0f);
    draw::rotate(t * 5.0f, 1.0f, 0.0f, 0.0f);
    const IntVec3* const mesh = surfacePolygonizer.vertices;
    for (std::int32_t k = 0; k < surfacePolygonizer.vertexCount; ++k) {
        drawSprite(static_cast<float>(mesh[k].x) * kMeshScale,
                   static_cast<float>(mesh[k].y) * kMeshScale,
                   static_cast<float>(mesh[k].z) * kMeshScale, kSpriteSize, kParticleSlot);
    }
}

void drawMetaballScene() {
    const float t = MusicClock;
    moveMetaballs(t);
    buildMetaballMesh();
    drawMetaballMesh(t);
}

void resetMetaballs() {
    for (IntVec3& centre : ballPositions) {
        centre = IntVec3{0, 0, 0};
        for (int draw = 0; draw < kRandomDrawsPerBall; ++draw) {
            nextRandom();
        }
    }
}

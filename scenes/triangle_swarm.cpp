#include <iterator>

#include "draw/draw.h"
#include "scenes/scenes.h"
#include "state/music_clock.h"
#include "text/keyframe.h"

// Where the swarm's centre sits, in hundredths of a second after the scene starts at 156 s.
static const Keyframe swarmPathTrack[] = {
    {{0.0f, -5.0f, 0.0f}, 0},    {{0.0f, 5.0f, 10.0f}, 200}, {{0.0f, -10.0f, 6.0f}, 400},
    {{0.0f, 10.0f, 15.0f}, 600}, {{0.0f, -5.0f, 0.0f}, 800}, {{0.0f, 5.0f, 5.0f}, 1000},
    {{0.0f, -3.0f, 5.0f}, 1500},
};

// The extra turn of the whole swarm about the vertical axis (only y is used).
static const Keyframe swarmSpinTrack[] = {
    {{0.0f, 0.0f, 0.0f}, 0},
    {{0.0f, 180.0f, 0.0f}, 500},
    {{0.0f, 360.0f, 0.0f}, 1000},
};

// One triangle, apex up, drawn at twice these coordinates: 4 units wide and 4 high.
static const float triangleTemplate[3][2] = {{0.0f, 1.0f}, {-1.0f, -1.0f}, {1.0f, -1.0f}};

static constexpr int kSwarmSize = 200;
static constexpr float kSceneStart = 156.0f;

static void drawSwarmTriangle() {
    draw::color(0.0f, 0.0f, 0.0f);
    draw::begin(draw::Primitive::Triangles);
    for (const auto& vertex : triangleTemplate) {
        draw::vertex(2.0f * vertex[0], 2.0f * vertex[1]);
    }
    draw::end();
    draw::color(1.0f, 1.0f, 1.0f);
}

void drawTriangleSwarm() {
    const float t = MusicClock;
    const float k = (t - kSceneStart) * 100.0f;
    Vec3 path;
    Vec3 spin;
    sampleTrack(swarmPathTrack, static_cast<int>(std::size(swarmPathTrack)), k, &path);
    sampleTrack(swarmSpinTrack, static_cast<int>(std::size(swarmSpinTrack)), k, &spin);

    draw::loadIdentity();
    draw::translate(path.x, path.y, path.z - 40.0f);
    draw::rotate(3.0f * t + spin.y, 0.0f, 1.0f, 0.0f);
    for (int i = 0; i < kSwarmSize; ++i) {
        const Vec3 b = smallCloudPoints[i];
        const Vec3 a = cloudPoints[i];
        draw::pushMatrix();
        draw::translate(7.0f * b.x, 5.0f * b.y, 5.0f * b.z);
        draw::rotate(t + 10.0f * a.z, 1.0f, 0.0f, 1.0f);
        drawSwarmTriangle();
        draw::popMatrix();
    }
}

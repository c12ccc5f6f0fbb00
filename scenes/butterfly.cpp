#include <cmath>

#include "draw/draw.h"
#include "state/music_clock.h"
#include "state/texture_slots.h"
#include "text/keyframe.h"

// Scene 14: a butterfly of two textured wings flaps while it rises into view, hovers and
// starts to rise out again. The rise is a keyframe track in hundredths of a second after
// 123 s; the flutter, the bob and the flapping are functions of the clock.
static constexpr float kButterflyStart = 123.0f;
static constexpr Keyframe butterflyTrack[] = {
    {{0.0f, -5.0f, 0.0f}, 0},
    {{0.0f, 0.0f, 0.0f}, 700},
    {{0.0f, 0.0f, 0.0f}, 1400},
    {{0.0f, 5.0f, 0.0f}, 1800},
};

// One wing: texture coordinates and vertices in drawing order.
struct WingCorner {
    float s;
    float t;
    float x;
    float y;
    bool tip; // the corner lies at the flapping depth f instead of depth 1
};

static constexpr WingCorner leftWing[4] = {
    {0.0f, 0.0f, -1.0f, -1.0f, true},
    {1.0f, 0.0f, 1.0f, -1.0f, false},
    {1.0f, 1.0f, 1.0f, 1.0f, false},
    {0.0f, 1.0f, -1.0f, 1.0f, true},
};

// The mirror image of the left wing: s runs from 0 at the body to -1 at the tip, which the
// repeat wrapping shows as the picture flipped.
static constexpr WingCorner rightWing[4] = {
    {0.0f, 0.0f, -1.0f, -1.0f, false},
    {-1.0f, 0.0f, 1.0f, -1.0f, true},
    {-1.0f, 1.0f, 1.0f, 1.0f, true},
    {0.0f, 1.0f, -1.0f, 1.0f, false},
};

static void drawWing(const WingCorner (&corners)[4], const float offsetX, const float tipDepth) {
    draw::pushMatrix();
    draw::translate(offsetX, 0.0f, 0.0f);
    draw::bindTexture(textureTable[kButterflySlot]);
    draw::begin(draw::Primitive::Quads);
    for (const WingCorner& corner : corners) {
        draw::texCoord(corner.s, corner.t);
        draw::vertex(corner.x, corner.y, corner.tip ? tipDepth : 1.0f);
    }
    draw::end();
    draw::popMatrix();
}

void drawButterfly() {
    const float t = MusicClock;
    Vec3 rise;
    sampleTrack(butterflyTrack, 4, (t - kButterflyStart) * 100.0f, &rise);

    draw::loadIdentity();
    const double time = t;
    const double flutter =
        0.02 * std::sin(7.0 * time - std::cos(std::sin(7.0 * time) - 2.0 * time));
    const double bob = std::cos(8.0 * time) / 60.0;
    draw::translate(static_cast<float>(1.0 + flutter), static_cast<float>(rise.y - 0.5 - bob),
                    -6.0f);
    draw::rotate(32.0f, 0.0f, 1.0f, 0.0f);
    draw::rotate(-30.0f, 1.0f, 0.0f, 0.0f);

    draw::enableBlending(true);
    draw::blendFunction(draw::BlendFactor::DstColor, draw::BlendFactor::Zero);
    draw::enableTexturing(true);

    const float tipDepth = static_cast<float>(1.0 + std::sin(18.0 * time + std::cos(1.5 * time)));
    drawWing(leftWing, -1.0f, tipDepth);
    drawWing(rightWing, 1.0f, tipDepth);
}

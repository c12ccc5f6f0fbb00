#include "render/sprite.h"

#include "draw/draw.h"
#include "render/letterbox_band.h"
#include "state/texture_slots.h"

// The texture of a slot; a slot outside the table has none (0) rather than reading past it.
static unsigned int spriteTexture(const int slot) {
    return slot >= 0 && slot < kTextureSlots ? textureTable[slot] : 0;
}

void drawBillboard(const Vec3 position, const float size) {
    const float* const m = draw::currentMatrix(draw::MatrixStack::ModelView);
    const Vec3 right{m[0] * size, m[4] * size, m[8] * size};
    const Vec3 up{m[1] * size, m[5] * size, m[9] * size};
    const Vec3 corners[4] = {
        vec3Sub(vec3Sub(position, right), up),
        vec3Sub(vec3Add(position, right), up),
        vec3Add(vec3Add(position, right), up),
        vec3Sub(vec3Add(position, up), right),
    };
    static constexpr float kCornerTexCoords[4][2] = {{0, 0}, {1, 0}, {1, 1}, {0, 1}};
    draw::begin(draw::Primitive::Quads);
    for (int c = 0; c < 4; ++c) {
        draw::texCoord(kCornerTexCoords[c][0], kCornerTexCoords[c][1]);
        draw::vertex(corners[c].x, corners[c].y, corners[c].z);
    }
    draw::end();
}

void drawSprite(const float x, const float y, const float z, const float size, const int slot) {
    const bool culled = inCulledFrame();
    if (culled) {
        scissorRows(sceneRows());
    }
    draw::enableDepthTest(false);
    draw::enableBlending(true);
    draw::blendFunction(draw::BlendFactor::DstColor, draw::BlendFactor::Zero);
    draw::bindTexture(spriteTexture(slot));
    drawBillboard(Vec3{x, y, z}, size);
    draw::enableDepthTest(true);
    draw::enableBlending(false);
    if (culled) {
        disableRowScissor();
    }
}

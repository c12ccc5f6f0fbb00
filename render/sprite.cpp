#include "render/sprite.h"

#include "demo/startup.h"
#include "platform/gl.h"

static SpriteRecorder spriteRecorder = nullptr;
static void* spriteRecorderUser = nullptr;

void setSpriteRecorder(const SpriteRecorder recorder, void* const user) {
    spriteRecorder = recorder;
    spriteRecorderUser = user;
}

static void recordSprite(const float x, const float y, const float z, const float size,
                         const int slot) {
    SpriteRecord record{};
    record.position = Vec3{x, y, z};
    record.size = size;
    record.slot = slot;
    glGetFloatv(GL_MODELVIEW_MATRIX, record.modelView);
    spriteRecorder(record, spriteRecorderUser);
}

// The texture of a slot; a slot outside the table has none (0) rather than reading past it.
static GLuint spriteTexture(const int slot) {
    return slot >= 0 && slot < kTextureSlots ? textureTable[slot] : 0;
}

void drawBillboard(const Vec3 position, const float size) {
    float m[16];
    glGetFloatv(GL_MODELVIEW_MATRIX, m);
    const Vec3 right{m[0] * size, m[4] * size, m[8] * size};
    const Vec3 up{m[1] * size, m[5] * size, m[9] * size};

    const Vec3 lowerLeft = vec3Sub(vec3Sub(position, right), up);
    const Vec3 lowerRight = vec3Sub(vec3Add(position, right), up);
    const Vec3 upperRight = vec3Add(vec3Add(position, right), up);
    const Vec3 upperLeft = vec3Sub(vec3Add(position, up), right);

    glBegin(GL_QUADS);
    glTexCoord2s(0, 0);
    glVertex3fv(&lowerLeft.x);
    glTexCoord2s(1, 0);
    glVertex3fv(&lowerRight.x);
    glTexCoord2s(1, 1);
    glVertex3fv(&upperRight.x);
    glTexCoord2s(0, 1);
    glVertex3fv(&upperLeft.x);
    glEnd();
}

void drawSprite(const float x, const float y, const float z, const float size, const int slot) {
    if (spriteRecorder != nullptr) {
        recordSprite(x, y, z, size, slot);
    }
    glDisable(GL_DEPTH_TEST);
    glEnable(GL_BLEND);
    glBlendFunc(GL_DST_COLOR, GL_ZERO);
    glBindTexture(GL_TEXTURE_2D, spriteTexture(slot));
    drawBillboard(Vec3{x, y, z}, size);
    glEnable(GL_DEPTH_TEST);
    glDisable(GL_BLEND);
}

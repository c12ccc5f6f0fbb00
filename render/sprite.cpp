#include "render/sprite.h"

#include <vector>

#include "demo/startup.h"
#include "platform/gl.h"
#include "render/sprite_batch.h"

static SpriteDrawing spriteDrawingPath = SpriteDrawing::Literal;
static SpriteBatch pendingSprites;
static bool capturingSprites = false;
static std::vector<SpriteBatch> capturedSprites;
static std::size_t capturedCount = 0;

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

// The four corners of a sprite exactly as drawBillboard builds them from matrix m.
static void billboardCorners(const float* const m, const Vec3 position, const float size,
                             Vec3* const corners) {
    const Vec3 right{m[0] * size, m[4] * size, m[8] * size};
    const Vec3 up{m[1] * size, m[5] * size, m[9] * size};
    corners[0] = vec3Sub(vec3Sub(position, right), up);
    corners[1] = vec3Sub(vec3Add(position, right), up);
    corners[2] = vec3Add(vec3Add(position, right), up);
    corners[3] = vec3Sub(vec3Add(position, up), right);
}

static Vec3 toEyeSpace(const float* const m, const Vec3 p) {
    return Vec3{m[0] * p.x + m[4] * p.y + m[8] * p.z + m[12],
                m[1] * p.x + m[5] * p.y + m[9] * p.z + m[13],
                m[2] * p.x + m[6] * p.y + m[10] * p.z + m[14]};
}

void drawBillboard(const Vec3 position, const float size) {
    float m[16];
    glGetFloatv(GL_MODELVIEW_MATRIX, m);
    Vec3 corners[4];
    billboardCorners(m, position, size, corners);
    glBegin(GL_QUADS);
    glTexCoord2s(0, 0);
    glVertex3fv(&corners[0].x);
    glTexCoord2s(1, 0);
    glVertex3fv(&corners[1].x);
    glTexCoord2s(1, 1);
    glVertex3fv(&corners[2].x);
    glTexCoord2s(0, 1);
    glVertex3fv(&corners[3].x);
    glEnd();
}

void setSpriteDrawing(const SpriteDrawing drawing) {
    flushSprites();
    spriteDrawingPath = drawing;
}

SpriteDrawing spriteDrawing() {
    return spriteDrawingPath;
}

void drawSpriteBatch(const SpriteBatch& batch) {
    if (batch.vertices.empty()) {
        return;
    }
    const bool wasTextured = glIsEnabled(GL_TEXTURE_2D) == GL_TRUE;
    glDisable(GL_DEPTH_TEST);
    glEnable(GL_BLEND);
    glBlendFunc(GL_DST_COLOR, GL_ZERO);
    glBindTexture(GL_TEXTURE_2D, batch.texture);
    if (batch.textured != wasTextured) {
        batch.textured ? glEnable(GL_TEXTURE_2D) : glDisable(GL_TEXTURE_2D);
    }
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
    const SpriteVertex* const first = batch.vertices.data();
    glEnableClientState(GL_VERTEX_ARRAY);
    glEnableClientState(GL_TEXTURE_COORD_ARRAY);
    glEnableClientState(GL_COLOR_ARRAY);
    glVertexPointer(3, GL_FLOAT, sizeof(SpriteVertex), &first->x);
    glTexCoordPointer(2, GL_FLOAT, sizeof(SpriteVertex), &first->s);
    glColorPointer(4, GL_FLOAT, sizeof(SpriteVertex), first->color);
    glDrawArrays(GL_QUADS, 0, static_cast<GLsizei>(batch.vertices.size()));
    glDisableClientState(GL_COLOR_ARRAY);
    glDisableClientState(GL_TEXTURE_COORD_ARRAY);
    glDisableClientState(GL_VERTEX_ARRAY);
    glPopMatrix();
    // A colour array leaves the current colour undefined: put back the one the sprites had.
    glColor4fv(batch.vertices.back().color);
    if (batch.textured != wasTextured) {
        wasTextured ? glEnable(GL_TEXTURE_2D) : glDisable(GL_TEXTURE_2D);
    }
    glEnable(GL_DEPTH_TEST);
    glDisable(GL_BLEND);
}

static void keepCapturedCopy(const SpriteBatch& batch) {
    if (capturedCount == capturedSprites.size()) {
        capturedSprites.emplace_back();
    }
    SpriteBatch& copy = capturedSprites[capturedCount++];
    copy.texture = batch.texture;
    copy.textured = batch.textured;
    copy.vertices.assign(batch.vertices.begin(), batch.vertices.end());
}

void flushSprites() {
    if (pendingSprites.vertices.empty()) {
        return;
    }
    drawSpriteBatch(pendingSprites);
    if (capturingSprites) {
        keepCapturedCopy(pendingSprites);
    }
    pendingSprites.vertices.clear();
}

void captureSprites(const bool capture) {
    flushSprites();
    capturingSprites = capture;
    capturedCount = 0;
}

void replayCapturedSprites() {
    for (std::size_t i = 0; i < capturedCount; ++i) {
        drawSpriteBatch(capturedSprites[i]);
    }
}

// Adds one sprite to the pending batch, flushing first when its texture or texturing differs.
static void batchSprite(const Vec3 position, const float size, const GLuint texture) {
    const bool textured = glIsEnabled(GL_TEXTURE_2D) == GL_TRUE;
    if (!pendingSprites.vertices.empty() &&
        (pendingSprites.texture != texture || pendingSprites.textured != textured)) {
        flushSprites();
    }
    pendingSprites.texture = texture;
    pendingSprites.textured = textured;
    float m[16];
    glGetFloatv(GL_MODELVIEW_MATRIX, m);
    float color[4];
    glGetFloatv(GL_CURRENT_COLOR, color);
    Vec3 corners[4];
    billboardCorners(m, position, size, corners);
    static constexpr float kCornerTexCoords[4][2] = {{0, 0}, {1, 0}, {1, 1}, {0, 1}};
    for (int c = 0; c < 4; ++c) {
        const Vec3 eye = toEyeSpace(m, corners[c]);
        pendingSprites.vertices.push_back(SpriteVertex{eye.x,
                                                       eye.y,
                                                       eye.z,
                                                       kCornerTexCoords[c][0],
                                                       kCornerTexCoords[c][1],
                                                       {color[0], color[1], color[2], color[3]}});
    }
}

void drawSprite(const float x, const float y, const float z, const float size, const int slot) {
    if (spriteRecorder != nullptr) {
        recordSprite(x, y, z, size, slot);
    }
    if (spriteDrawingPath == SpriteDrawing::Batched) {
        batchSprite(Vec3{x, y, z}, size, spriteTexture(slot));
        return;
    }
    glDisable(GL_DEPTH_TEST);
    glEnable(GL_BLEND);
    glBlendFunc(GL_DST_COLOR, GL_ZERO);
    glBindTexture(GL_TEXTURE_2D, spriteTexture(slot));
    drawBillboard(Vec3{x, y, z}, size);
    glEnable(GL_DEPTH_TEST);
    glDisable(GL_BLEND);
}

#include "render/sprite.h"

#include <cmath>
#include <cstring>
#include <vector>

#include "platform/gl.h"
#include "render/letterbox_band.h"
#include "render/sprite_batch.h"
#include "state/texture_slots.h"

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

// The product projection x model-view as the GL forms it for its vertex transform, column-major.
static void composeClipMatrix(const float* const p, const float* const m, float* const out) {
    for (int row = 0; row < 4; ++row) {
        for (int col = 0; col < 4; ++col) {
            out[col * 4 + row] = p[row] * m[col * 4] + p[4 + row] * m[col * 4 + 1] +
                                 p[8 + row] * m[col * 4 + 2] + p[12 + row] * m[col * 4 + 3];
        }
    }
}

struct ClipVertex {
    float x, y, z, w;
};

static ClipVertex toClipSpace(const float* const c, const Vec3 v) {
    ClipVertex out;
    float* const o = &out.x;
    for (int row = 0; row < 4; ++row) {
        o[row] = c[row] * v.x + c[4 + row] * v.y + c[8 + row] * v.z + c[12 + row];
    }
    return out;
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

// Loads the matrices of one run: identity for clip-space vertices, the sprite's own otherwise.
static void loadRunMatrices(const SpriteRun& run) {
    glMatrixMode(GL_PROJECTION);
    run.clipSpace ? glLoadIdentity() : glLoadMatrixf(run.projection);
    glMatrixMode(GL_MODELVIEW);
    run.clipSpace ? glLoadIdentity() : glLoadMatrixf(run.modelView);
}

// The state a batch draw changes, read before it and put back after it.
struct SpriteCallerState {
    GLint texture;
    GLint matrixMode;
    GLint blendSource;
    GLint blendDestination;
    GLfloat color[4];
    GLfloat texCoord[4];
    bool textured;
    bool depthTest;
    bool blend;
};

static SpriteCallerState readCallerState() {
    SpriteCallerState state{};
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &state.texture);
    glGetIntegerv(GL_MATRIX_MODE, &state.matrixMode);
    glGetIntegerv(GL_BLEND_SRC, &state.blendSource);
    glGetIntegerv(GL_BLEND_DST, &state.blendDestination);
    glGetFloatv(GL_CURRENT_COLOR, state.color);
    glGetFloatv(GL_CURRENT_TEXTURE_COORDS, state.texCoord);
    state.textured = glIsEnabled(GL_TEXTURE_2D) == GL_TRUE;
    state.depthTest = glIsEnabled(GL_DEPTH_TEST) == GL_TRUE;
    state.blend = glIsEnabled(GL_BLEND) == GL_TRUE;
    return state;
}

static void enableIf(const GLenum capability, const bool on) {
    on ? glEnable(capability) : glDisable(capability);
}

static void restoreCallerState(const SpriteCallerState& state) {
    glBindTexture(GL_TEXTURE_2D, static_cast<GLuint>(state.texture));
    glMatrixMode(static_cast<GLenum>(state.matrixMode));
    glBlendFunc(static_cast<GLenum>(state.blendSource),
                static_cast<GLenum>(state.blendDestination));
    glColor4fv(state.color);
    glTexCoord4fv(state.texCoord);
    enableIf(GL_TEXTURE_2D, state.textured);
    enableIf(GL_DEPTH_TEST, state.depthTest);
    enableIf(GL_BLEND, state.blend);
}

void drawSpriteBatch(const SpriteBatch& batch) {
    if (batch.vertices.empty()) {
        return;
    }
    const SpriteCallerState caller = readCallerState();
    glDisable(GL_DEPTH_TEST);
    glEnable(GL_BLEND);
    glBlendFunc(GL_DST_COLOR, GL_ZERO);
    glBindTexture(GL_TEXTURE_2D, batch.texture);
    enableIf(GL_TEXTURE_2D, batch.textured);
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    const SpriteVertex* const first = batch.vertices.data();
    glEnableClientState(GL_VERTEX_ARRAY);
    glEnableClientState(GL_TEXTURE_COORD_ARRAY);
    glVertexPointer(4, GL_FLOAT, sizeof(SpriteVertex), &first->x);
    glTexCoordPointer(2, GL_FLOAT, sizeof(SpriteVertex), &first->s);
    // Sprites never write depth, so under the letterbox they can only reach the picture
    // through the glow's margin: a culled frame draws them on the scene rows alone.
    const bool scissored = inCulledFrame();
    if (scissored) {
        scissorRows(sceneRows());
    }
    const SpriteRun* previous = nullptr;
    for (const SpriteRun& run : batch.runs) {
        // Clip-space runs next to each other (split by a colour change) share the identities.
        if (previous == nullptr || !(previous->clipSpace && run.clipSpace)) {
            loadRunMatrices(run);
        }
        // The colour stays a current value as on the literal path: a colour array is
        // interpolated differently and rounds some colours to the next level.
        glColor4fv(run.color);
        glDrawArrays(GL_QUADS, run.first, run.count);
        previous = &run;
    }
    if (scissored) {
        disableRowScissor();
    }
    glDisableClientState(GL_TEXTURE_COORD_ARRAY);
    glDisableClientState(GL_VERTEX_ARRAY);
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
    glPopMatrix();
    restoreCallerState(caller);
}

static void keepCapturedCopy(const SpriteBatch& batch) {
    if (capturedCount == capturedSprites.size()) {
        capturedSprites.emplace_back();
    }
    SpriteBatch& copy = capturedSprites[capturedCount++];
    copy.texture = batch.texture;
    copy.textured = batch.textured;
    copy.vertices.assign(batch.vertices.begin(), batch.vertices.end());
    copy.runs.assign(batch.runs.begin(), batch.runs.end());
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
    pendingSprites.runs.clear();
}

void captureSprites(const bool capture) {
    flushSprites();
    capturingSprites = capture;
    if (capture) {
        capturedCount = 0; // a new capture forgets the last; stopping keeps it for replay
    }
}

void replayCapturedSprites() {
    for (std::size_t i = 0; i < capturedCount; ++i) {
        drawSpriteBatch(capturedSprites[i]);
    }
}

int capturedSpriteCount() {
    std::size_t vertices = 0;
    for (std::size_t i = 0; i < capturedCount; ++i) {
        vertices += capturedSprites[i].vertices.size();
    }
    return static_cast<int>(vertices / 4);
}

enum class FrustumSide { Inside, Outside, Crossing };

// Where a quad lies against the six clip planes.
static FrustumSide frustumSide(const ClipVertex* const corners) {
    unsigned allOutside = 0x3F;
    unsigned anyOutside = 0;
    for (int c = 0; c < 4; ++c) {
        const ClipVertex& v = corners[c];
        const unsigned outside = (v.x < -v.w ? 1u : 0u) | (v.x > v.w ? 2u : 0u) |
                                 (v.y < -v.w ? 4u : 0u) | (v.y > v.w ? 8u : 0u) |
                                 (v.z < -v.w ? 16u : 0u) | (v.z > v.w ? 32u : 0u);
        allOutside &= outside;
        anyOutside |= outside;
    }
    if (allOutside != 0) {
        return FrustumSide::Outside;
    }
    return anyOutside != 0 ? FrustumSide::Crossing : FrustumSide::Inside;
}

static bool sameMatrices(const SpriteRun& run, const float* const modelView,
                         const float* const projection) {
    return std::memcmp(run.modelView, modelView, sizeof(run.modelView)) == 0 &&
           std::memcmp(run.projection, projection, sizeof(run.projection)) == 0;
}

// The run the next quad joins: the last one when the colour is the same and both are in clip
// coordinates (a quad inside the view), or both in object coordinates under the same matrices
// (a quad crossing a clip plane). Otherwise a new run. Inside and crossing quads never share a
// draw: the GL sends a draw with any clipped vertex down its clipping pipeline, which splits
// every quad of it into triangles differently from a draw with none, and the texels then
// land a pixel apart here and there.
static SpriteRun& runFor(const bool inside, const float* const modelView,
                         const float* const projection, const float* const color) {
    std::vector<SpriteRun>& runs = pendingSprites.runs;
    if (!runs.empty() && std::memcmp(runs.back().color, color, sizeof(runs.back().color)) == 0) {
        SpriteRun& last = runs.back();
        if (last.clipSpace ? inside : !inside && sameMatrices(last, modelView, projection)) {
            return last;
        }
    }
    SpriteRun& run = runs.emplace_back();
    run.first = static_cast<int>(pendingSprites.vertices.size());
    run.clipSpace = inside;
    std::memcpy(run.modelView, modelView, sizeof(run.modelView));
    std::memcpy(run.projection, projection, sizeof(run.projection));
    std::memcpy(run.color, color, sizeof(run.color));
    return run;
}

// Adds one sprite to the pending batch, flushing first when its texture or texturing differs.
// Its quad goes in as clip coordinates or as object coordinates with its matrices (runFor);
// a quad wholly outside one clip plane is dropped, as the GL would draw nothing of it.
static void batchSprite(const Vec3 position, const float size, const GLuint texture) {
    float m[16];
    glGetFloatv(GL_MODELVIEW_MATRIX, m);
    float projection[16];
    glGetFloatv(GL_PROJECTION_MATRIX, projection);
    float clip[16];
    composeClipMatrix(projection, m, clip);
    Vec3 corners[4];
    billboardCorners(m, position, size, corners);
    ClipVertex clipped[4];
    for (int c = 0; c < 4; ++c) {
        clipped[c] = toClipSpace(clip, corners[c]);
    }
    const FrustumSide side = frustumSide(clipped);
    if (side == FrustumSide::Outside) {
        return;
    }
    const bool textured = glIsEnabled(GL_TEXTURE_2D) == GL_TRUE;
    if (!pendingSprites.vertices.empty() &&
        (pendingSprites.texture != texture || pendingSprites.textured != textured)) {
        flushSprites();
    }
    pendingSprites.texture = texture;
    pendingSprites.textured = textured;
    float color[4];
    glGetFloatv(GL_CURRENT_COLOR, color);
    SpriteRun& run = runFor(side == FrustumSide::Inside, m, projection, color);
    run.count += 4;
    const bool clipSpace = run.clipSpace;
    static constexpr float kCornerTexCoords[4][2] = {{0, 0}, {1, 0}, {1, 1}, {0, 1}};
    for (int c = 0; c < 4; ++c) {
        const ClipVertex v =
            clipSpace ? clipped[c] : ClipVertex{corners[c].x, corners[c].y, corners[c].z, 1.0f};
        pendingSprites.vertices.push_back(
            SpriteVertex{v.x, v.y, v.z, v.w, kCornerTexCoords[c][0], kCornerTexCoords[c][1]});
    }
}

// The state the literal path leaves behind a sprite, which the batched path sets at every call
// too (whether its quad is kept or dropped), so that whatever the caller draws next finds it.
static void leaveSpriteState(const GLuint texture) {
    glBlendFunc(GL_DST_COLOR, GL_ZERO);
    glBindTexture(GL_TEXTURE_2D, texture);
    glTexCoord2s(0, 1); // the last corner's
    glEnable(GL_DEPTH_TEST);
    glDisable(GL_BLEND);
}

void drawSprite(const float x, const float y, const float z, const float size, const int slot) {
    if (spriteRecorder != nullptr) {
        recordSprite(x, y, z, size, slot);
    }
    if (spriteDrawingPath == SpriteDrawing::Batched) {
        batchSprite(Vec3{x, y, z}, size, spriteTexture(slot));
        leaveSpriteState(spriteTexture(slot));
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

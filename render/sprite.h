#pragma once
#include "render/vec3.h"

// One camera-facing textured square at (x, y, z) in the current object coordinates, with
// half-width `size` and the texture of `textureTable[slot]`, multiplied into the picture.
// Leaves the depth test enabled, blending disabled, the blend function (GL_DST_COLOR, GL_ZERO)
// and the slot's texture bound (none for a slot outside textureTable). Every particle of the
// show goes through here.
void drawSprite(float x, float y, float z, float size, int slot);

// Emits the quad of one sprite, built from the rows of the current model-view matrix.
void drawBillboard(Vec3 position, float size);

// What a sprite recorder sees of one drawSprite call: its arguments and the model-view
// matrix in force (column-major, as GL returns it).
struct SpriteRecord {
    Vec3 position;
    float size;
    int slot;
    float modelView[16];
};

using SpriteRecorder = void (*)(const SpriteRecord& record, void* user);

// Installs a recorder that is called for every sprite before it is drawn; null removes it.
void setSpriteRecorder(SpriteRecorder recorder, void* user);

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

// How drawSprite reaches the GL. Literal: one immediate-mode quad per call with its state
// changes around it. Batched: the quads are collected and drawn by flushSprites in one
// vertex-array draw per run of sprites, with the state set once per texture. A quad inside the
// view goes in as the clip coordinates the GL would compute from the matrices in force at its
// call (drawn with identity matrices); a quad crossing a clip plane goes in as its corners with
// those matrices, so the GL clips it exactly as on its own; a quad wholly outside is dropped.
// The colour stays a current value per run. The picture is the same, pixel for pixel. Every
// call, kept or dropped, leaves the GL state the literal path leaves (above), so what the
// caller draws next finds that state; it lands over the sprites only once they are flushed, so
// a caller that draws anything after its sprites calls flushSprites first. The library starts
// literal; the program and the render tool choose batched.
enum class SpriteDrawing { Literal, Batched };
void setSpriteDrawing(SpriteDrawing drawing);
SpriteDrawing spriteDrawing();

// Draws the sprites collected by the batched path and puts back the GL state it found (the
// binding, texturing, colour, blending, depth test, matrices): the state the last drawSprite
// left, as on the literal path. The frame calls it after every scene; nothing to do on the
// literal path.
void flushSprites();

// With true: keeps a copy of every batch flushed from now on (and forgets earlier ones), so
// that the same geometry can be drawn again with no per-sprite work: the fill-rate floor of a
// frame. With false: stops keeping copies; those kept stay for replayCapturedSprites.
void captureSprites(bool capture);
// Draws the captured batches again, with the state of a flush.
void replayCapturedSprites();
// How many sprites the captured batches hold.
int capturedSpriteCount();

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

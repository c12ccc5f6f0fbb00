#pragma once
#include "render/vec3.h"

// One camera-facing textured square at (x, y, z) in the current object coordinates, with
// half-width `size` and the texture of `textureTable[slot]`, multiplied into the picture, with
// the texturing the caller left on or off. Leaves the depth test enabled, blending disabled, the
// blend function (DST_COLOR, ZERO) and the slot's texture bound (none for a slot outside
// textureTable). Every particle of the show goes through here.
//
// The drawing layer batches the sprites with everything else: consecutive sprites share one
// draw call while their texture and state stay the same, each transformed to clip
// coordinates on the CPU, and a sprite wholly outside the view costs no more than that. In a
// culled frame (render/letterbox_band.h) sprites draw only the scene's rows: they never write
// depth, so under the bars they could only reach the picture through the glow's margin.
void drawSprite(float x, float y, float z, float size, int slot);

// Emits the quad of one sprite, built from the rows of the current model-view matrix, with the
// state in force.
void drawBillboard(Vec3 position, float size);

#pragma once
#include "model/obj_model.h"

// GL texture names by slot: 4 holds the particle texture, 6 the butterfly; slot 1 is never
// loaded and holds 0 for the whole run. All 0 at program start.
inline constexpr int kTextureSlots = 7;
extern unsigned int textureTable[kTextureSlots];
// The glyph atlas of the bitmap font.
extern unsigned int fontTexture;
// The model loaded at every start-up; nothing draws it.
extern ObjModel torusModel;

// The whole start-up, run once per GL context: textures, model, GL state and glow, font,
// random point sets, metaballs, music and the spectrum analysis, in that order.
void startDemo();

void loadTextures();
// The GL texture name of the PNG at `path`, or 0 when it cannot be loaded.
unsigned int loadTexture(const char* path);
void loadModel();
void initGlState();

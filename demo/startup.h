#pragma once
// The start-up of the show. It loads the textures of textureTable and fontTexture.

#include "model/obj_model.h"
#include "state/texture_slots.h"

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

#pragma once
// The start-up of the show. It loads the textures of textureTable and fontTexture.

#include "model/obj_model.h"
#include "state/texture_slots.h"

// The model loaded at every start-up; nothing draws it.
extern ObjModel torusModel;

// The whole start-up, run once per GL context: textures, model, GL state and glow, font,
// random point sets, metaballs, music and the spectrum analysis, in that order.
void startDemo();

// The texture scale for a picture `pictureHeight` rows high: 1 up to 600 rows, 2 up to 1200,
// 4 above.
int textureScaleFor(int pictureHeight);
// Loads the particle, butterfly and font textures into their slots. Scale 1: the files
// <name>.png, nearest filtering, no mipmaps. Scale 2 or 4: <name>-2x.png or <name>-4x.png,
// mipmapped with linear filtering; when one cannot be loaded, its 1x file is loaded as at scale
// 1, and one line on stderr names it the first time.
void loadTextures(int scale);
// Deletes the textures in the three slots of the current GL context and loads those of `scale`
// (for a picture size change within one context; the font's display lists bind no texture).
void replaceTextures(int scale);
// The GL texture name of the PNG at `path`, or 0 when it cannot be loaded.
unsigned int loadTexture(const char* path);
void loadModel();
void initGlState();

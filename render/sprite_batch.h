#pragma once
#include <vector>

// One vertex of a batched sprite quad: position (clip or object coordinates, see SpriteRun)
// and texture coordinate.
struct SpriteVertex {
    float x;
    float y;
    float z;
    float w;
    float s;
    float t;
};

// Consecutive quads of a batch drawn under the same matrices and the same current colour. A
// clip-space run holds vertices already transformed on the CPU and is drawn with identity matrices;
// an object run holds the corners in the sprite's own coordinates and is drawn with the model-view
// and projection matrices that were in force, so the GL transforms and clips them exactly as it
// does a sprite drawn on its own (used for quads that cross a clip plane).
struct SpriteRun {
    int first = 0;
    int count = 0;
    bool clipSpace = true;
    float modelView[16];
    float projection[16];
    float color[4];
};

// Sprites that share a texture and a texturing state, ready to draw as GL_QUADS, run by run
// in the order they were drawn.
struct SpriteBatch {
    unsigned int texture = 0;
    bool textured = false;
    std::vector<SpriteVertex> vertices;
    std::vector<SpriteRun> runs;
};

// Draws one batch with the sprite state and puts back the GL state it found.
void drawSpriteBatch(const SpriteBatch& batch);

#pragma once
#include <vector>

// One vertex of a batched sprite quad: eye-space position, texture coordinate and colour.
struct SpriteVertex {
    float x;
    float y;
    float z;
    float w;
    float s;
    float t;
    float color[4];
};

// Sprites that share a texture and a texturing state, ready to draw as GL_QUADS.
struct SpriteBatch {
    unsigned int texture = 0;
    bool textured = false;
    std::vector<SpriteVertex> vertices;
};

// Draws one batch with the sprite state and leaves that state as drawSprite does.
void drawSpriteBatch(const SpriteBatch& batch);

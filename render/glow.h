#pragma once

// The size of the region the glow copies and draws, whatever the window's size.
extern const int GlowWidth;
extern const int GlowHeight;

// Creates the two rectangle textures of the glow in the current GL context; returns true.
bool createGlowTextures();

// Bloom over the finished scene: copies, a darkened half-size image, a box blur, and the
// blurred image added back under the scene.
void applyGlow(float blurRadius, float contrastPasses, float glowGain, float blurWeight);

// One quad over the whole viewport whose texture coordinates span sw x sh texels shifted by
// (dx, dy); the caller opens and closes glBegin(GL_QUADS).
void drawGlowQuad(int sw, int sh, int dx, int dy);

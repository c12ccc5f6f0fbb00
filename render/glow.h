#pragma once

// The size of the region the glow copies and draws, whatever the window's size: the picture
// size when its textures were last made.
extern int GlowWidth;
extern int GlowHeight;

// Creates the two textures of the glow (RGB, filtered linearly, clamped at the edges) at the
// picture size in the current GL context; returns true. Runs once per context (a new context gets
// new textures).
bool createGlowTextures();

// Gives the textures of this context the current picture size, when it has changed.
void resizeGlowTextures();

// Bloom over the finished scene: copies, a darkened half-size image, a box blur, and the
// blurred image added back under the scene. The frame passes (2, 1, 2, 1):
//   blurRadius      truncated to m, the texels the box blur reaches to each side;
//   contrastPasses  truncated to n, the working image becomes the frame to the power n + 1;
//   glowGain        the blurred image is added, times 1 + #{k >= 1 : k < glowGain};
//   blurWeight      each blur tap weighs blurWeight / (2 blurRadius + 1).
// The taps of the blur stand pictureScale() half-size texels apart, so that the glow reaches
// as far over the picture at every picture size.
// Leaves blending disabled with the function (ONE, ONE), the depth test enabled, the texturing
// and the bound texture as it found them, the current colour (1, 1, 1, tap weight) and texture
// coordinate (1, 0), the viewport GlowWidth x GlowHeight at the origin, and the model-view
// matrix current with both matrices as they were.
void applyGlow(float blurRadius, float contrastPasses, float glowGain, float blurWeight);

// One quad over the whole viewport whose texture coordinates span sw x sh texels of the bound
// glow texture shifted by (dx, dy); the caller begins and ends the quads.
void drawGlowQuad(int sw, int sh, float dx, float dy);

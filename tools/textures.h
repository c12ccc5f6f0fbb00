#pragma once
#include "tools/content_image.h"

// The textures come at scales 1, 2 and 4: the same picture with `scale` times the texels along
// each side, for pictures larger than 800 x 600.
inline constexpr int kTextureScales[] = {1, 2, 4};

// The particle sprite: 64 x 64 RGB per scale step, a soft round dot on pure white, darkest at
// the centre, white along every edge. Sprites multiply it into the picture.
inline constexpr int kParticleSize = 64;
Image makeParticleImage(int scale);

// Darkness of the particle at distance `radius` from its centre, measured in particle radii:
// 1 at the centre, falling smoothly to 0 at radius 1 and beyond.
float particleDarkness(float radius);

// One butterfly wing: 256 x 256 RGB per scale step on white, stored upside down (the file's top row
// is the bottom of the wing as seen on screen). The wing root lies along the right edge (s = 1),
// the forewing fills the upper part of the picture as seen, the hindwing the lower part.
inline constexpr int kButterflySize = 256;
Image makeButterflyImage(int scale);

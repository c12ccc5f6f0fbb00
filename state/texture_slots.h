#pragma once

// The show's textures as GL texture names, loaded by the start-up once per GL context; 0 until
// then and for a file that cannot be loaded.

// Textures by slot. Only the particle and butterfly slots are ever loaded; the others (slot 1
// among them) hold 0 for the whole run.
inline constexpr int kTextureSlots = 7;
inline constexpr int kParticleSlot = 4;
inline constexpr int kButterflySlot = 6;
inline unsigned int textureTable[kTextureSlots] = {};

// The glyph atlas of the bitmap font.
inline unsigned int fontTexture = 0;

#pragma once

// The program's one pseudo-random sequence, never reseeded: 0 to 32767. The start-up draws
// from it in a fixed order, so every run gives the same shapes.
int nextRandom();

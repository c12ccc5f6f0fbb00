#pragma once
#include <cstdint>

#include "tests/support/headless_picture.h"

// A 128 x 128 glyph atlas laid out like the show's font (16 x 16 cells of 8 x 8 texels, cell 0
// at the t = 1 edge, glyph rows upside down in memory), made in the current GL context.
// Every cell but the two spaces (0 and 128) holds a mark over the lower half of the glyph as it
// stands on screen, coloured so that a pixel read back names its cell:
//   set 0 (cells 0-127): mark (cell, 0, 0), opaque, on an opaque white ground;
//   set 1 (cells 128-255): mark (cell, 255, 255), opaque, on a transparent black ground.
// Returns the texture name.
unsigned int makeTestAtlas();

// The atlas as fontTexture with the font's lists built from it, once per test program.
void useTestFont();

// The mark colour of a cell, as the atlas holds it.
struct MarkColour {
    std::uint8_t r, g, b;
};
MarkColour markOf(int cell);

// The pixel at virtual-screen units (x, y) of printText (origin bottom left, y up).
const std::uint8_t* pixelAtUnits(const Picture& picture, double x, double y);

// The cell that a glyph drawn unblended at scale `scale` with its lower-left corner at (x, y)
// shows, read in its marked lower half; -1 when that pixel is no mark of the test atlas.
int cellAt(const Picture& picture, double x, double y, double scale = 1.0);

#pragma once
#include <cstdint>

// The marching-cubes tables for this cube numbering, with (x, y, z) the anchor of a cell and
// (cx, cy, cz) its size; the cube extends from the anchor towards +x, +y and -z:
//   corner 0 (x, y + cy, z)        corner 4 (x, y, z)
//   corner 1 (x + cx, y + cy, z)   corner 5 (x + cx, y, z)
//   corner 2 (x + cx, y + cy, z - cz)  corner 6 (x + cx, y, z - cz)
//   corner 3 (x, y + cy, z - cz)   corner 7 (x, y, z - cz)
// Edges 0-3 run 0→1→2→3→0, edges 4-7 run 4→5→6→7→4, edges 8-11 join corner k to corner k + 4.
// A configuration has bit k set when corner k lies outside the surface.

inline constexpr int kCubeCorners = 8;
inline constexpr int kCubeEdges = 12;

// Each corner's offset from the anchor in cells, per axis (-1, 0 or +1).
struct CornerStep {
    std::int8_t x;
    std::int8_t y;
    std::int8_t z;
};
extern const CornerStep cubeCorners[kCubeCorners];

// The first and second corner of every edge.
extern const std::uint8_t edgeCorners[kCubeEdges][2];

// Bit e set when the two corners of edge e lie on different sides in configuration i.
extern const std::uint16_t edgeTable[256];

// Up to five triangles per configuration as triples of edge numbers, ended by -1.
extern const std::int8_t triTable[256][16];

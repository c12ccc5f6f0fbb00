#pragma once
#include "metaballs/metaball_field.h"
#include "metaballs/surface_polygonizer.h"

// The metaball state of the show, set up before main in this order and cleaned up at exit in
// the reverse order: grid extent, ball centres, vertex buffer, field, polygonizer.
inline constexpr int kMetaballCount = 10;
inline constexpr int kMetaballRadius = 11;
inline constexpr int kMetaballResolution = 32;

extern const IntVec3 gridExtent;
extern IntVec3 ballPositions[kMetaballCount];
extern IntVec3 meshVertices[MaxMeshVertices];
extern MetaballField metaballField;
extern SurfacePolygonizer surfacePolygonizer;

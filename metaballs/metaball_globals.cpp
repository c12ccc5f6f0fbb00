#include "metaballs/metaball_globals.h"

// Defined in set-up order: objects of one translation unit are constructed in the order of
// their definitions and destroyed in reverse, so the polygonizer's visited cells are freed
// before the field's cache. The centres and the vertex buffer live as long as the process.
const IntVec3 gridExtent{160, 160, 160};
IntVec3 ballPositions[kMetaballCount] = {};
IntVec3 meshVertices[MaxMeshVertices] = {};
MetaballField metaballField(kMetaballCount, kMetaballRadius, kMetaballResolution, gridExtent,
                            ballPositions);
SurfacePolygonizer surfacePolygonizer(gridExtent, &metaballField, meshVertices, MaxMeshVertices);

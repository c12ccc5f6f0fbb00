#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "metaballs/metaball_globals.h"
#include "metaballs/metaball_scene.h"

// Every frame traces the surface anew: a frame's mesh depends on its clock alone, not on the
// frames drawn before it.
TEST(MetaballScene, EachFrameBuildsItsMeshFromScratch) {
    const auto meshAt = [](const float t) {
        moveMetaballs(t);
        buildMetaballMesh();
        return std::vector<IntVec3>(meshVertices, meshVertices + surfacePolygonizer.vertexCount);
    };
    const std::vector<IntVec3> first = meshAt(151.6f);
    const std::vector<IntVec3> second = meshAt(140.2f);
    metaballField.clearCache();
    EXPECT_EQ(meshAt(140.2f), second);
    EXPECT_EQ(meshAt(151.6f), first);
}

#include <gtest/gtest.h>

#include <algorithm>
#include <unistd.h>
#include <vector>

#include "metaballs/metaball_globals.h"
#include "metaballs/metaball_scene.h"
#include "state/random.h"

// Start-up takes 30 draws of the program's one random sequence: a child process takes 30 plain
// draws from the same state, and the next draws must agree.
TEST(MetaballScene, StartUpTakesThirtyRandomDraws) {
    int channel[2];
    ASSERT_EQ(pipe(channel), 0);
    if (fork() == 0) {
        for (int draw = 0; draw < 30; ++draw) {
            nextRandom();
        }
        const int next = nextRandom();
        _exit(write(channel[1], &next, sizeof next) == sizeof next ? 0 : 1);
    }
    resetMetaballs();
    int expected = -1;
    ASSERT_EQ(read(channel[0], &expected, sizeof expected), ssize_t(sizeof expected));
    EXPECT_EQ(nextRandom(), expected);
}

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

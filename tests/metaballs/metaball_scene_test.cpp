#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

#include "demo/music.h"
#include "metaballs/metaball_globals.h"
#include "metaballs/metaball_scene.h"
#include "platform/gl.h"
#include "state/random.h"
#include "tests/support/headless_picture.h"
#include "tests/support/sprite_log.h"

namespace {

int visitedCells() {
    return static_cast<int>(std::count(
        surfacePolygonizer.visited.get(),
        surfacePolygonizer.visited.get() + surfacePolygonizer.visitedSize, std::uint8_t{1}));
}

// The state of the random sequence after its last draw, recovered from two draws: the first
// fixes bits 16-30 of the state, the second picks the remaining 17 bits.
std::uint32_t recoverRandomState() {
    const auto first = static_cast<std::uint32_t>(nextRandom());
    const auto second = static_cast<std::uint32_t>(nextRandom());
    std::uint32_t found = 0;
    int matches = 0;
    for (std::uint32_t rest = 0; rest < (1u << 17); ++rest) {
        const std::uint32_t state = (rest & 0xFFFFu) | (first << 16) | ((rest >> 16) << 31);
        const std::uint32_t next = state * 214013u + 2531011u;
        if (((next >> 16) & 0x7FFFu) == second) {
            found = next;
            ++matches;
        }
    }
    EXPECT_GE(matches, 1);
    return found;
}

// Where the view of time t puts the scene point p: translate(-7, 0, -18) then rotations of
// 10t about y, -12t about z and 5t about x degrees, applied to p innermost first.
void expectedEyePoint(const double t, const double p[3], double out[3]) {
    const double pi = std::acos(-1.0);
    const auto rotate = [](double v[3], const int axis, const double radians) {
        const int a = (axis + 1) % 3;
        const int b = (axis + 2) % 3;
        const double c = std::cos(radians);
        const double s = std::sin(radians);
        const double va = v[a];
        const double vb = v[b];
        v[a] = c * va - s * vb;
        v[b] = s * va + c * vb;
    };
    double v[3] = {p[0], p[1], p[2]};
    rotate(v, 0, 5.0 * t * pi / 180.0);
    rotate(v, 2, -12.0 * t * pi / 180.0);
    rotate(v, 1, 10.0 * t * pi / 180.0);
    out[0] = v[0] - 7.0;
    out[1] = v[1];
    out[2] = v[2] - 18.0;
}

bool sameSprites(const std::vector<SpriteRecord>& a, const std::vector<SpriteRecord>& b) {
    return a.size() == b.size() &&
           std::equal(
               a.begin(), a.end(), b.begin(), [](const SpriteRecord& x, const SpriteRecord& y) {
                   return x.position.x == y.position.x && x.position.y == y.position.y &&
                          x.position.z == y.position.z && x.size == y.size && x.slot == y.slot &&
                          std::equal(x.modelView, x.modelView + 16, y.modelView);
               });
}

} // namespace

TEST(MetaballScene, BallsFollowTheirPaths) {
    moveMetaballs(0.0f);
    EXPECT_EQ(ballPositions[0], (IntVec3{0, 31, 33}));
    EXPECT_EQ(ballPositions[1], (IntVec3{-31, 16, -8}));
    EXPECT_EQ(ballPositions[2], (IntVec3{-34, -12, -32}));
    moveMetaballs(139.0f);
    EXPECT_EQ(ballPositions[0], (IntVec3{14, -21, -2}));
    for (float t = 139.0f; t < 156.0f; t += 0.75f) {
        moveMetaballs(t);
        for (const IntVec3& b : ballPositions) {
            EXPECT_LE(std::abs(b.x), 38);
            EXPECT_LE(std::abs(b.y), 31);
            EXPECT_LE(std::abs(b.z), 33);
        }
    }
}

TEST(MetaballScene, ResetCentresTheBallsAndTakesThirtyDraws) {
    moveMetaballs(150.0f);
    std::uint32_t state = recoverRandomState();
    resetMetaballs();
    for (const IntVec3& b : ballPositions) {
        EXPECT_EQ(b, (IntVec3{0, 0, 0}));
    }
    for (int draw = 0; draw < 31; ++draw) {
        state = state * 214013u + 2531011u;
    }
    EXPECT_EQ(nextRandom(), static_cast<int>((state >> 16) & 0x7FFFu));
}

TEST(MetaballScene, EveryFrameOfTheSlotBuildsAMeshOfWholeTrianglesInsideTheGrid) {
    for (float t = 139.1f; t < 156.0f; t += 0.5f) {
        SCOPED_TRACE(t);
        moveMetaballs(t);
        buildMetaballMesh();
        const std::int32_t count = surfacePolygonizer.vertexCount;
        EXPECT_EQ(count % 3, 0);
        EXPECT_GE(count, 6800);
        EXPECT_LE(count, 8600);
        EXPECT_GE(visitedCells(), 2400);
        EXPECT_LE(visitedCells(), 3000);
        for (std::int32_t k = 0; k < count; ++k) {
            const IntVec3 v = meshVertices[k];
            ASSERT_TRUE(v.x >= -80 && v.x < 80 && v.y >= -80 && v.y < 80 && v.z >= -80 && v.z < 80);
        }
    }
}

TEST(MetaballScene, DrawsOneSpritePerStoredCornerInTheTumblingView) {
    REQUIRE_HEADLESS_GL();
    MusicClock = 147.3f;
    SpriteLog log;
    drawMetaballScene();
    const std::vector<SpriteRecord>& sprites = log.sprites();
    ASSERT_EQ(static_cast<std::int32_t>(sprites.size()), surfacePolygonizer.vertexCount);
    ASSERT_GT(sprites.size(), 0u);
    for (std::size_t k = 0; k < sprites.size(); ++k) {
        const IntVec3 v = meshVertices[k];
        ASSERT_EQ(sprites[k].position.x, static_cast<float>(v.x) * 0.1f);
        ASSERT_EQ(sprites[k].position.y, static_cast<float>(v.y) * 0.1f);
        ASSERT_EQ(sprites[k].position.z, static_cast<float>(v.z) * 0.1f);
        ASSERT_EQ(sprites[k].size, 0.23f);
        ASSERT_EQ(sprites[k].slot, 4);
    }

    const float* m = sprites.front().modelView;
    for (const auto& p : {std::array<double, 3>{0, 0, 0}, std::array<double, 3>{1, 0, 0},
                          std::array<double, 3>{0, 1, 0}, std::array<double, 3>{0, 0, 1}}) {
        double expected[3];
        expectedEyePoint(147.3, p.data(), expected);
        for (int row = 0; row < 3; ++row) {
            const double got = m[row] * p[0] + m[4 + row] * p[1] + m[8 + row] * p[2] + m[12 + row];
            EXPECT_NEAR(got, expected[row], 2e-3) << "row " << row;
        }
    }
    EXPECT_TRUE(glIsEnabled(GL_TEXTURE_2D));
    EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
    EXPECT_FALSE(glIsEnabled(GL_BLEND));
}

TEST(MetaballScene, TheSameClockDrawsTheSameSprites) {
    REQUIRE_HEADLESS_GL();
    SpriteLog log;
    MusicClock = 151.6f;
    drawMetaballScene();
    const std::vector<SpriteRecord> first = log.sprites();
    log.clear();
    MusicClock = 140.2f;
    drawMetaballScene();
    const std::vector<SpriteRecord> other = log.sprites();
    log.clear();
    MusicClock = 151.6f;
    drawMetaballScene();
    EXPECT_FALSE(sameSprites(first, other));
    EXPECT_TRUE(sameSprites(first, log.sprites()));
}

TEST(MetaballScene, AnOverfullMeshDrawsNoMoreThanTheBufferHolds) {
    REQUIRE_HEADLESS_GL();
    // Force every cell of the show's field to alternate inside and outside: far more
    // triangles than the buffer holds.
    surfacePolygonizer.clear();
    for (int k = 0; k < 32; ++k) {
        for (int j = 0; j < 32; ++j) {
            for (int i = 0; i < 32; ++i) {
                metaballField.cache[static_cast<std::size_t>((k * 32 + j) * 32 + i)] =
                    (i + j + k) % 2 == 0 ? 1.0f : 0.001f;
            }
        }
    }
    surfacePolygonizer.polygonize(0, 0, 0);
    ASSERT_EQ(surfacePolygonizer.vertexCount, MaxMeshVertices / 3 * 3);

    SpriteLog log;
    drawMetaballMesh(150.0f);
    EXPECT_EQ(static_cast<std::int32_t>(log.sprites().size()), MaxMeshVertices / 3 * 3);

    // The next frame starts from scratch.
    moveMetaballs(150.0f);
    buildMetaballMesh();
    EXPECT_LT(surfacePolygonizer.vertexCount, 9000);
}

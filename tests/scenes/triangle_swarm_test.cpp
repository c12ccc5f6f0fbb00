#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "demo/music.h"
#include "platform/gl.h"
#include "scenes/scenes.h"
#include "tests/support/headless_picture.h"
#include "tests/support/sprite_log.h"

namespace {

constexpr int kTriangles = 200;
constexpr double kDegree = 3.14159265358979323846 / 180.0;

// One captured triangle: its vertices in eye space and whether all three were black.
struct Triangle {
    Vec3 v[3];
    bool black;
    Vec3 origin() const { // halfway between the apex and the middle of the base
        return Vec3{(2 * v[0].x + v[1].x + v[2].x) / 4, (2 * v[0].y + v[1].y + v[2].y) / 4,
                    (2 * v[0].z + v[1].z + v[2].z) / 4};
    }
};

// Draws the swarm in feedback mode under an orthographic projection that maps eye space
// one-to-one onto the 800 x 600 viewport (depth -1000..1000 onto 0..1): every triangle comes
// back unclipped and its window coordinates turn straight back into eye coordinates.
std::vector<Triangle> captureSwarm(const float clock) {
    MusicClock = clock;
    glViewport(0, 0, 800, 600);
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    glOrtho(-400.0, 400.0, -300.0, 300.0, -1000.0, 1000.0);
    glMatrixMode(GL_MODELVIEW);
    std::vector<GLfloat> buffer(kTriangles * 40);
    glFeedbackBuffer(static_cast<GLsizei>(buffer.size()), GL_3D_COLOR, buffer.data());
    glRenderMode(GL_FEEDBACK);
    drawTriangleSwarm();
    const GLint used = glRenderMode(GL_RENDER);
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);

    std::vector<Triangle> triangles;
    for (GLint k = 0; k + 23 <= used; k += 23) { // token, count, 3 x (x, y, z, r, g, b, a)
        if (buffer[k] != GL_POLYGON_TOKEN || buffer[k + 1] != 3.0f) {
            ADD_FAILURE() << "not a triangle at " << k;
            break;
        }
        Triangle t{};
        t.black = true;
        for (int i = 0; i < 3; ++i) {
            const GLfloat* f = &buffer[k + 2 + 7 * i];
            t.v[i] = Vec3{f[0] - 400.0f, f[1] - 300.0f, (1.0f - 2.0f * f[2]) * 1000.0f};
            t.black = t.black && f[3] == 0.0f && f[4] == 0.0f && f[5] == 0.0f;
        }
        triangles.push_back(t);
    }
    return triangles;
}

float distance(const Vec3 a, const Vec3 b) {
    return std::sqrt((a.x - b.x) * (a.x - b.x) + (a.y - b.y) * (a.y - b.y) +
                     (a.z - b.z) * (a.z - b.z));
}

// Every triangle at the swarm's centre, with its own starting spin angle.
void placeSwarmAtCentre() {
    for (int i = 0; i < kTriangles; ++i) {
        smallCloudPoints[i] = Vec3{0.0f, 0.0f, 0.0f};
        cloudPoints[i] = Vec3{0.0f, 0.0f, static_cast<float>(i % 37 - 18)};
    }
}

} // namespace

TEST(TriangleSwarm, TwoHundredBlackTrianglesThatNeverChangeShape) {
    REQUIRE_HEADLESS_GL();
    for (int i = 0; i < kTriangles; ++i) {
        smallCloudPoints[i] = Vec3{static_cast<float>(i % 9 - 4), static_cast<float>(i % 7 - 3),
                                   static_cast<float>(i % 5 - 2)};
        cloudPoints[i] = Vec3{0.0f, 0.0f, static_cast<float>(i % 50 - 25)};
    }
    for (const float t : {156.0f, 162.37f, 170.9f}) {
        SpriteLog sprites;
        const std::vector<Triangle> triangles = captureSwarm(t);
        EXPECT_TRUE(sprites.sprites().empty());
        ASSERT_EQ(triangles.size(), static_cast<std::size_t>(kTriangles));
        for (const Triangle& tri : triangles) {
            EXPECT_TRUE(tri.black);
            // Apex, lower left, lower right: sides sqrt(20), 4 and sqrt(20) at any time.
            EXPECT_NEAR(distance(tri.v[0], tri.v[1]), std::sqrt(20.0f), 2e-3f);
            EXPECT_NEAR(distance(tri.v[1], tri.v[2]), 4.0f, 2e-3f);
            EXPECT_NEAR(distance(tri.v[2], tri.v[0]), std::sqrt(20.0f), 2e-3f);
        }
        float colour[4];
        glGetFloatv(GL_CURRENT_COLOR, colour);
        EXPECT_TRUE(colour[0] == 1.0f && colour[1] == 1.0f && colour[2] == 1.0f) << t;
    }
}

TEST(TriangleSwarm, PathCarriesTheCentreAndTheTurnFollowsTimeAndSpinTrack) {
    REQUIRE_HEADLESS_GL();
    placeSwarmAtCentre();
    smallCloudPoints[0] = Vec3{1.0f, 0.0f, 0.0f}; // 7 units along x: shows the group's turn
    struct Expected {
        float clock;
        Vec3 centre;
        double turn; // degrees: 3t + the spin track
    };
    const Expected expected[] = {
        {156.0f, {0.0f, -5.0f, -40.0f}, 468.0},
        {158.0f, {0.0f, 5.0f, -30.0f}, 474.0 + 180.0 * (1 - std::cos(3.14 * 0.4)) / 2},
        {164.0f, {0.0f, -5.0f, -40.0f}, 672.0 + 180.0 * (1 - std::cos(3.14 * 0.6)) / 2},
        {166.0f, {0.0f, 5.0f, -35.0f}, 858.0},
    };
    for (const Expected& e : expected) {
        const std::vector<Triangle> triangles = captureSwarm(e.clock);
        ASSERT_EQ(triangles.size(), static_cast<std::size_t>(kTriangles));
        for (int i = 1; i < kTriangles; ++i) {
            const Vec3 o = triangles[i].origin();
            EXPECT_NEAR(distance(o, e.centre), 0.0f, 3e-3f) << e.clock << " " << i;
        }
        const Vec3 o = triangles[0].origin();
        EXPECT_NEAR(o.x - e.centre.x, 7.0 * std::cos(e.turn * kDegree), 3e-3) << e.clock;
        EXPECT_NEAR(o.y - e.centre.y, 0.0f, 3e-3f) << e.clock;
        EXPECT_NEAR(o.z - e.centre.z, -7.0 * std::sin(e.turn * kDegree), 3e-3) << e.clock;
    }
}

TEST(TriangleSwarm, EachTriangleSpinsAboutItsTiltedAxisFromItsOwnAngle) {
    REQUIRE_HEADLESS_GL();
    placeSwarmAtCentre();
    // A spin of t + 10 a.z about (1, 0, 1) puts the apex 2 cos(spin) above the origin and
    // lifts the right end of the base by 2 sqrt(2) sin(spin), whatever the group's turn.
    const float t = 160.0f;
    const float starts[] = {-16.0f, 2.0f, -7.0f, 11.0f, 0.0f}; // spins 0, 180, 90, 270, 160
    for (int i = 0; i < 5; ++i) {
        cloudPoints[i].z = starts[i];
    }
    const std::vector<Triangle> triangles = captureSwarm(t);
    ASSERT_EQ(triangles.size(), static_cast<std::size_t>(kTriangles));
    for (int i = 0; i < 5; ++i) {
        const double spin = (t + 10.0 * starts[i]) * kDegree;
        const Triangle& tri = triangles[i];
        EXPECT_NEAR(tri.v[0].y - tri.origin().y, 2.0 * std::cos(spin), 2e-3) << i;
        EXPECT_NEAR(tri.v[2].y - tri.v[1].y, 2.0 * std::sqrt(2.0) * std::sin(spin), 2e-3) << i;
    }
}

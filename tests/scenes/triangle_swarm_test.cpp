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
constexpr double kPi = 3.14159265358979323846;

struct FeedbackVertex {
    Vec3 eye;
    float colour[4];
};
using FeedbackTriangle = std::vector<FeedbackVertex>;

// Draws the swarm in feedback mode under an orthographic projection that maps eye space
// one-to-one onto the 800 x 600 viewport (depth -1000..1000 onto 0..1), so every triangle is
// captured unclipped and its vertices can be turned back into eye coordinates.
std::vector<FeedbackTriangle> captureSwarm(const float clock) {
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

    std::vector<FeedbackTriangle> triangles;
    for (GLint k = 0; k < used;) {
        EXPECT_EQ(buffer[k], static_cast<GLfloat>(GL_POLYGON_TOKEN)) << "at " << k;
        if (buffer[k] != static_cast<GLfloat>(GL_POLYGON_TOKEN)) {
            break;
        }
        const int count = static_cast<int>(buffer[k + 1]);
        k += 2;
        FeedbackTriangle polygon;
        for (int v = 0; v < count; ++v, k += 7) {
            FeedbackVertex vertex{};
            vertex.eye = Vec3{buffer[k] - 400.0f, buffer[k + 1] - 300.0f,
                              -(2.0f * buffer[k + 2] - 1.0f) * 1000.0f};
            for (int c = 0; c < 4; ++c) {
                vertex.colour[c] = buffer[k + 3 + c];
            }
            polygon.push_back(vertex);
        }
        triangles.push_back(polygon);
    }
    return triangles;
}

float distance(const Vec3 a, const Vec3 b) {
    return std::sqrt((a.x - b.x) * (a.x - b.x) + (a.y - b.y) * (a.y - b.y) +
                     (a.z - b.z) * (a.z - b.z));
}

// The triangle's own origin: halfway between its apex and the middle of its base.
Vec3 originOf(const FeedbackTriangle& t) {
    return Vec3{(2 * t[0].eye.x + t[1].eye.x + t[2].eye.x) / 4,
                (2 * t[0].eye.y + t[1].eye.y + t[2].eye.y) / 4,
                (2 * t[0].eye.z + t[1].eye.z + t[2].eye.z) / 4};
}

void placeSwarmAtOrigin() {
    for (int i = 0; i < kTriangles; ++i) {
        smallCloudPoints[i] = Vec3{0.0f, 0.0f, 0.0f};
        cloudPoints[i] = Vec3{0.0f, 0.0f, static_cast<float>(i % 37 - 18)};
    }
}

} // namespace

TEST(TriangleSwarm, TwoHundredBlackTrianglesOfOneShapeAndNoSprites) {
    REQUIRE_HEADLESS_GL();
    for (int i = 0; i < kTriangles; ++i) {
        smallCloudPoints[i] = Vec3{static_cast<float>(i % 9 - 4), static_cast<float>(i % 7 - 3),
                                   static_cast<float>(i % 5 - 2)};
        cloudPoints[i] = Vec3{0.0f, 0.0f, static_cast<float>(i % 50 - 25)};
    }
    for (const float t : {156.0f, 162.37f, 170.9f}) {
        SpriteLog sprites;
        const std::vector<FeedbackTriangle> triangles = captureSwarm(t);
        EXPECT_TRUE(sprites.sprites().empty());
        ASSERT_EQ(triangles.size(), static_cast<std::size_t>(kTriangles));
        for (const FeedbackTriangle& tri : triangles) {
            ASSERT_EQ(tri.size(), 3u);
            for (const FeedbackVertex& v : tri) {
                EXPECT_EQ(v.colour[0], 0.0f);
                EXPECT_EQ(v.colour[1], 0.0f);
                EXPECT_EQ(v.colour[2], 0.0f);
            }
            // Apex, lower left, lower right: sides sqrt(20), base 4, sqrt(20), at any time.
            EXPECT_NEAR(distance(tri[0].eye, tri[1].eye), std::sqrt(20.0f), 2e-3f);
            EXPECT_NEAR(distance(tri[1].eye, tri[2].eye), 4.0f, 2e-3f);
            EXPECT_NEAR(distance(tri[2].eye, tri[0].eye), std::sqrt(20.0f), 2e-3f);
        }
        float colour[4];
        glGetFloatv(GL_CURRENT_COLOR, colour);
        EXPECT_EQ(colour[0], 1.0f);
        EXPECT_EQ(colour[1], 1.0f);
        EXPECT_EQ(colour[2], 1.0f);
    }
}

TEST(TriangleSwarm, PathCarriesTheSwarmCentre) {
    REQUIRE_HEADLESS_GL();
    placeSwarmAtOrigin();
    struct Expected {
        float clock;
        Vec3 centre;
    };
    // Start of the path, almost exactly key 1 at 158 s, and the last keys.
    const Expected expected[] = {
        {156.0f, {0.0f, -5.0f, -40.0f}},
        {158.0f, {0.0f, 5.0f, -30.0f}},
        {166.0f, {0.0f, 5.0f, -35.0f}},
    };
    for (const Expected& e : expected) {
        const std::vector<FeedbackTriangle> triangles = captureSwarm(e.clock);
        ASSERT_EQ(triangles.size(), static_cast<std::size_t>(kTriangles));
        for (const FeedbackTriangle& tri : triangles) {
            const Vec3 origin = originOf(tri);
            EXPECT_NEAR(origin.x, e.centre.x, 2e-3f) << e.clock;
            EXPECT_NEAR(origin.y, e.centre.y, 2e-3f) << e.clock;
            EXPECT_NEAR(origin.z, e.centre.z, 2e-3f) << e.clock;
        }
    }
}

TEST(TriangleSwarm, SwarmTurnsThreeDegreesPerSecondPlusItsSpinTrack) {
    REQUIRE_HEADLESS_GL();
    placeSwarmAtOrigin();
    // Triangle 0 sits 7 units along x from the centre: its origin shows the group's turn.
    smallCloudPoints[0] = Vec3{1.0f, 0.0f, 0.0f};
    struct Expected {
        float clock;
        double turnDegrees;
    };
    const Expected expected[] = {
        {156.0f, 468.0}, // 3 x 156 + 0
        {161.0f, 663.0}, // 3 x 161 + 180, the middle key of the spin track
        {166.0f, 858.0}, // 3 x 166 + 360
        {169.0f, 867.0}, // the spin track holds 360
    };
    for (const Expected& e : expected) {
        const std::vector<FeedbackTriangle> triangles = captureSwarm(e.clock);
        ASSERT_EQ(triangles.size(), static_cast<std::size_t>(kTriangles));
        const Vec3 centre = originOf(triangles[1]);
        const Vec3 origin = originOf(triangles[0]);
        const double turn = e.turnDegrees * kPi / 180.0;
        EXPECT_NEAR(origin.x - centre.x, 7.0 * std::cos(turn), 3e-3) << e.clock;
        EXPECT_NEAR(origin.y - centre.y, 0.0f, 3e-3f) << e.clock;
        EXPECT_NEAR(origin.z - centre.z, -7.0 * std::sin(turn), 3e-3) << e.clock;
    }
}

TEST(TriangleSwarm, EachTriangleSpinsAboutItsTiltedAxisFromItsOwnAngle) {
    REQUIRE_HEADLESS_GL();
    placeSwarmAtOrigin();
    // The spin t + 10 a.z about (1, 0, 1) leaves the apex 2 cos(spin) above the origin,
    // whatever the group's turn about the vertical axis.
    const float t = 160.0f;
    const float angles[] = {-16.0f, 2.0f, -7.0f, 11.0f, 0.0f};
    for (int i = 0; i < 5; ++i) {
        cloudPoints[i].z = angles[i];
    }
    const std::vector<FeedbackTriangle> triangles = captureSwarm(t);
    ASSERT_EQ(triangles.size(), static_cast<std::size_t>(kTriangles));
    for (int i = 0; i < 5; ++i) {
        const double spin = (t + 10.0 * angles[i]) * kPi / 180.0;
        const float apexHeight = triangles[i][0].eye.y - originOf(triangles[i]).y;
        EXPECT_NEAR(apexHeight, 2.0 * std::cos(spin), 2e-3) << i;
        // The tilted axis also lifts one end of the base: by 2 sqrt(2) sin(spin).
        const float baseRise = triangles[i][2].eye.y - triangles[i][1].eye.y;
        EXPECT_NEAR(baseRise, 2.0 * std::sqrt(2.0) * std::sin(spin), 2e-3) << i;
    }
    // Spin 0: apex straight up; spin 180: apex straight down.
    EXPECT_NEAR(triangles[0][0].eye.y - originOf(triangles[0]).y, 2.0f, 2e-3f);
    EXPECT_NEAR(triangles[1][0].eye.y - originOf(triangles[1]).y, -2.0f, 2e-3f);
}

TEST(TriangleSwarm, DrawsBlackPixelsOverTheBackground) {
    REQUIRE_HEADLESS_GL();
    placeSwarmAtOrigin();
    glClearColor(1.0f, 1.0f, 1.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glDisable(GL_TEXTURE_2D);
    glEnable(GL_DEPTH_TEST);
    glDepthFunc(GL_LEQUAL);
    // Every triangle has its origin at (0, -5, -40) at 156 s, about 90 pixels below the middle.
    MusicClock = 156.0f;
    drawTriangleSwarm();
    const Picture picture = readPicture();
    const std::uint8_t* middle = picture.at(400, 300);
    const std::uint8_t* swarm = picture.at(400, 390);
    const std::uint8_t* corner = picture.at(10, 10);
    EXPECT_EQ(swarm[0] + swarm[1] + swarm[2], 0);
    EXPECT_EQ(corner[0] + corner[1] + corner[2], 3 * 255);
    EXPECT_EQ(middle[0] + middle[1] + middle[2], 3 * 255);
}

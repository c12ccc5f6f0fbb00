#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "demo/music.h"
#include "demo/startup.h"
#include "platform/gl.h"
#include "scenes/scenes.h"
#include "tests/support/headless_picture.h"
#include "tests/support/sprite_log.h"

namespace {

// One vertex as GL feedback reports it, turned back into eye space, with its texture
// coordinates.
struct FedVertex {
    Vec3 eye;
    float s;
    float t;
};

// The scene draws under a wide orthographic projection so that nothing is clipped, even
// when the butterfly is below the normal view; the feedback vertices are then mapped back to
// eye space with that projection.
std::vector<std::vector<FedVertex>> drawButterflyPolygons(const float clock) {
    MusicClock = clock;
    GLint viewport[4];
    glGetIntegerv(GL_VIEWPORT, viewport);
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    glOrtho(-10, 10, -10, 10, -50, 50);
    GLdouble projection[16];
    glGetDoublev(GL_PROJECTION_MATRIX, projection);
    glMatrixMode(GL_MODELVIEW);

    std::vector<GLfloat> buffer(4096);
    glFeedbackBuffer(static_cast<GLsizei>(buffer.size()), GL_4D_COLOR_TEXTURE, buffer.data());
    glRenderMode(GL_FEEDBACK);
    drawButterfly();
    const GLint used = glRenderMode(GL_RENDER);

    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);

    const GLdouble identity[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
    std::vector<std::vector<FedVertex>> polygons;
    constexpr int kVertexFloats = 12; // x y z w, r g b a, s t r q
    for (GLint k = 0; k < used;) {
        const GLint token = static_cast<GLint>(buffer[k++]);
        if (token != GL_POLYGON_TOKEN) {
            ADD_FAILURE() << "unexpected feedback token " << token;
            break;
        }
        const int count = static_cast<int>(buffer[k++]);
        std::vector<FedVertex>& polygon = polygons.emplace_back();
        for (int v = 0; v < count; ++v, k += kVertexFloats) {
            GLdouble x, y, z;
            gluUnProject(buffer[k], buffer[k + 1], buffer[k + 2], identity, projection, viewport,
                         &x, &y, &z);
            polygon.push_back(
                FedVertex{{static_cast<float>(x), static_cast<float>(y), static_cast<float>(z)},
                          buffer[k + 8],
                          buffer[k + 9]});
        }
    }
    return polygons;
}

Vec3 minus(const Vec3 a, const Vec3 b) {
    return Vec3{a.x - b.x, a.y - b.y, a.z - b.z};
}
Vec3 plus(const Vec3 a, const Vec3 b) {
    return Vec3{a.x + b.x, a.y + b.y, a.z + b.z};
}
Vec3 scaled(const Vec3 a, const float k) {
    return Vec3{a.x * k, a.y * k, a.z * k};
}
float dot(const Vec3 a, const Vec3 b) {
    return a.x * b.x + a.y * b.y + a.z * b.z;
}
Vec3 cross(const Vec3 a, const Vec3 b) {
    return Vec3{a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}
void expectSamePlace(const Vec3 a, const Vec3 b) {
    EXPECT_NEAR(a.x, b.x, 1e-4f);
    EXPECT_NEAR(a.y, b.y, 1e-4f);
    EXPECT_NEAR(a.z, b.z, 1e-4f);
}

// The eye-space corner of a wing that carries texture coordinates (s, t); fails the test
// when the wing has no such corner.
Vec3 corner(const std::vector<FedVertex>& wing, const float s, const float t) {
    for (const FedVertex& v : wing) {
        if (v.s == s && v.t == t) {
            return v.eye;
        }
    }
    ADD_FAILURE() << "no corner with texture coordinates (" << s << ", " << t << ")";
    return Vec3{0, 0, 0};
}

// The butterfly as drawn: its two wings (their vertices, polygon by polygon, in drawing
// order) and the frame they span. The frame is rebuilt from the corners: the tips lie 4
// apart across, the body line is 2 high, and the body line lies one unit in front of the
// frame's origin.
struct DrawnButterfly {
    std::vector<FedVertex> left;
    std::vector<FedVertex> right;
    Vec3 across;
    Vec3 up;
    Vec3 out;
    Vec3 origin;
    float tipDepth;
};

DrawnButterfly drawnButterfly(const float clock) {
    const std::vector<std::vector<FedVertex>> polygons = drawButterflyPolygons(clock);
    DrawnButterfly b{};
    // A quad comes back as one polygon or split in two triangles: the first half is the left
    // wing.
    if (polygons.size() != 2 && polygons.size() != 4) {
        ADD_FAILURE() << "expected two quads, got " << polygons.size() << " polygons";
        return b;
    }
    for (std::size_t k = 0; k < polygons.size(); ++k) {
        std::vector<FedVertex>& wing = k < polygons.size() / 2 ? b.left : b.right;
        wing.insert(wing.end(), polygons[k].begin(), polygons[k].end());
    }
    const Vec3 bodyBottom = corner(b.left, 1, 0);
    b.across = scaled(minus(corner(b.right, -1, 0), corner(b.left, 0, 0)), 0.25f);
    b.up = scaled(minus(corner(b.left, 1, 1), bodyBottom), 0.5f);
    b.out = cross(b.across, b.up);
    b.origin = minus(plus(bodyBottom, b.up), b.out);
    b.tipDepth = dot(minus(corner(b.left, 0, 0), b.origin), b.out);
    return b;
}

} // namespace

TEST(Butterfly, TwoSquareWingsMeetAtTheBodyWithTheRightOneMirrored) {
    REQUIRE_HEADLESS_GL();
    const DrawnButterfly b = drawnButterfly(130.0f);
    // The right wing's s runs from 0 at the body to -1 at the tip: the repeat wrapping shows
    // the picture mirrored.
    for (const auto& [wing, tipS] : {std::pair{&b.left, 0.0f}, std::pair{&b.right, -1.0f}}) {
        ASSERT_FALSE(wing->empty());
        for (const FedVertex& v : *wing) {
            EXPECT_TRUE((v.s == tipS || v.s == tipS + 1.0f) && (v.t == 0.0f || v.t == 1.0f))
                << v.s << ", " << v.t;
        }
    }
    expectSamePlace(corner(b.left, 1, 0), corner(b.right, 0, 0));
    expectSamePlace(corner(b.left, 1, 1), corner(b.right, 0, 1));
    // A rigid frame: wings 2 x 2, the tips mirror images across the body line.
    EXPECT_NEAR(dot(b.across, b.across), 1.0f, 1e-4f);
    EXPECT_NEAR(dot(b.up, b.up), 1.0f, 1e-4f);
    EXPECT_NEAR(dot(b.across, b.up), 0.0f, 1e-4f);
    const Vec3 rightTip = minus(corner(b.right, -1, 0), b.origin);
    EXPECT_NEAR(dot(minus(corner(b.left, 0, 0), b.origin), b.across), -2.0f, 1e-4f);
    EXPECT_NEAR(dot(rightTip, b.across), 2.0f, 1e-4f);
    EXPECT_NEAR(dot(rightTip, b.out), b.tipDepth, 1e-4f);
    expectSamePlace(minus(corner(b.right, -1, 1), corner(b.right, -1, 0)), scaled(b.up, 2));
    // Turned 32 degrees about the vertical and tipped back 30 degrees.
    EXPECT_NEAR(b.across.y, 0.0f, 1e-4f);
    EXPECT_NEAR(std::atan2(-b.across.z, b.across.x) * 180.0 / 3.14159265358979, 32.0, 1e-2);
    EXPECT_NEAR(b.up.y, std::cos(30.0 * 3.14159265358979 / 180.0), 1e-4);
    EXPECT_LT(b.up.z, 0.0f);
}

TEST(Butterfly, RisesIntoViewHoversAndStartsToLeaveWhileTheTipsFlap) {
    REQUIRE_HEADLESS_GL();
    // The track's height at some times; the body sits 0.5 below it, bobbing by 1/60 at most.
    const struct {
        float clock;
        float track;
    } heights[] = {
        {123.0f, -5.0f}, {126.5f, -2.502f}, {130.0f, 0.0f}, {137.0f, 0.0f}, {139.0f, 2.498f}};
    const DrawnButterfly hovering = drawnButterfly(130.0f);
    for (const auto& [clock, track] : heights) {
        const DrawnButterfly b = drawnButterfly(clock);
        EXPECT_NEAR(b.origin.y, track - 0.5f, 1.0f / 60.0f + 2e-3f) << clock;
        EXPECT_NEAR(b.origin.x, 1.0f, 0.02f + 1e-4f) << clock;
        EXPECT_NEAR(b.origin.z, -6.0f, 1e-3f) << clock;
        expectSamePlace(b.across, hovering.across); // it moves but does not turn
        expectSamePlace(b.up, hovering.up);
    }
    float lowest = 10.0f;
    float highest = -10.0f;
    for (int k = 0; k < 160; ++k) {
        const float depth = drawnButterfly(123.013f + 0.1f * static_cast<float>(k)).tipDepth;
        lowest = std::min(lowest, depth);
        highest = std::max(highest, depth);
    }
    EXPECT_GE(lowest, -1e-3f);
    EXPECT_LT(lowest, 0.1f);
    EXPECT_LE(highest, 2.0f + 1e-3f);
    EXPECT_GT(highest, 1.9f);
}

TEST(Butterfly, MultipliesTheButterflyTextureIntoThePictureWithoutSprites) {
    REQUIRE_HEADLESS_GL();
    GLuint butterflyTexture = 0;
    glGenTextures(1, &butterflyTexture);
    textureTable[6] = butterflyTexture;
    glDisable(GL_BLEND);
    glDisable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, 0);
    GLint stack[2] = {};
    glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &stack[0]);
    MusicClock = 131.0f;
    SpriteLog log;
    drawButterfly();
    EXPECT_TRUE(log.sprites().empty());
    EXPECT_TRUE(glIsEnabled(GL_BLEND));
    EXPECT_TRUE(glIsEnabled(GL_TEXTURE_2D));
    GLint state[3] = {};
    glGetIntegerv(GL_BLEND_SRC_RGB, &state[0]);
    glGetIntegerv(GL_BLEND_DST_RGB, &state[1]);
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &state[2]);
    EXPECT_EQ(state[0], GL_DST_COLOR);
    EXPECT_EQ(state[1], GL_ZERO);
    EXPECT_EQ(static_cast<GLuint>(state[2]), butterflyTexture);
    glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &stack[1]);
    EXPECT_EQ(stack[1], stack[0]);
    glDisable(GL_BLEND);
    textureTable[6] = 0;
    glDeleteTextures(1, &butterflyTexture);
}

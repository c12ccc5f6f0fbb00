#include <gtest/gtest.h>

#include <vector>

#include "demo/startup.h"
#include "platform/gl.h"
#include "render/sprite.h"
#include "render/vec3.h"
#include "tests/support/headless_picture.h"

namespace {

// One vertex of GL feedback in GL_3D_COLOR_TEXTURE, converted back to eye coordinates under
// the projection set by useFeedbackProjection.
struct FeedbackVertex {
    Vec3 eye;
    float s;
    float t;
};

constexpr double kVolume = 10.0;

// An orthographic volume of +-10 on every axis, so window coordinates map back to eye ones.
void useFeedbackProjection() {
    glViewport(0, 0, kPictureWidth, kPictureHeight);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(-kVolume, kVolume, -kVolume, kVolume, -kVolume, kVolume);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
}

FeedbackVertex toEye(const float* v) {
    FeedbackVertex out{};
    out.eye.x = static_cast<float>((v[0] / (kPictureWidth / 2.0) - 1.0) * kVolume);
    out.eye.y = static_cast<float>((v[1] / (kPictureHeight / 2.0) - 1.0) * kVolume);
    out.eye.z = static_cast<float>(-(2.0 * v[2] - 1.0) * kVolume);
    out.s = v[7];
    out.t = v[8];
    return out;
}

// The polygons that `draw` emits, as GL feedback reports them.
template <typename Draw> std::vector<std::vector<FeedbackVertex>> capturePolygons(Draw draw) {
    constexpr int kFloatsPerVertex = 3 + 4 + 4;
    std::vector<float> buffer(4096);
    glFeedbackBuffer(static_cast<GLsizei>(buffer.size()), GL_3D_COLOR_TEXTURE, buffer.data());
    glRenderMode(GL_FEEDBACK);
    draw();
    const int used = glRenderMode(GL_RENDER);
    std::vector<std::vector<FeedbackVertex>> polygons;
    for (int i = 0; i < used;) {
        const int token = static_cast<int>(buffer[i++]);
        if (token != GL_POLYGON_TOKEN) {
            ADD_FAILURE() << "unexpected feedback token " << token;
            break;
        }
        const int count = static_cast<int>(buffer[i++]);
        std::vector<FeedbackVertex> polygon;
        for (int k = 0; k < count; ++k, i += kFloatsPerVertex) {
            polygon.push_back(toEye(&buffer[i]));
        }
        polygons.push_back(polygon);
    }
    return polygons;
}

bool sameVertex(const FeedbackVertex& a, const FeedbackVertex& b) {
    return a.eye.x == b.eye.x && a.eye.y == b.eye.y && a.eye.z == b.eye.z && a.s == b.s &&
           a.t == b.t;
}

// The four corners of one emitted quad in the order they were sent. Feedback reports a quad
// either as one polygon of four or as the triangles (0, 1, 3) and (1, 2, 3).
std::vector<FeedbackVertex> quadCorners(const std::vector<std::vector<FeedbackVertex>>& polygons) {
    if (polygons.size() == 1 && polygons[0].size() == 4) {
        return polygons[0];
    }
    if (polygons.size() == 2 && polygons[0].size() == 3 && polygons[1].size() == 3 &&
        sameVertex(polygons[0][1], polygons[1][0]) && sameVertex(polygons[0][2], polygons[1][2])) {
        return {polygons[0][0], polygons[0][1], polygons[1][1], polygons[0][2]};
    }
    ADD_FAILURE() << "the feedback is not one quad (" << polygons.size() << " polygons)";
    return {};
}

void expectCorners(const std::vector<FeedbackVertex>& corners,
                   const FeedbackVertex (&expected)[4]) {
    ASSERT_EQ(corners.size(), 4u);
    for (int i = 0; i < 4; ++i) {
        SCOPED_TRACE(i);
        EXPECT_NEAR(corners[i].eye.x, expected[i].eye.x, 1e-3);
        EXPECT_NEAR(corners[i].eye.y, expected[i].eye.y, 1e-3);
        EXPECT_NEAR(corners[i].eye.z, expected[i].eye.z, 1e-3);
        EXPECT_EQ(corners[i].s, expected[i].s);
        EXPECT_EQ(corners[i].t, expected[i].t);
    }
}

} // namespace

TEST(Sprite, EmitsACameraFacingSquareCounterClockwiseFromTheLowerLeft) {
    REQUIRE_HEADLESS_GL();
    useFeedbackProjection();
    const FeedbackVertex plain[4] = {{{-0.5f, -0.5f, -5.0f}, 0, 0},
                                     {{0.5f, -0.5f, -5.0f}, 1, 0},
                                     {{0.5f, 0.5f, -5.0f}, 1, 1},
                                     {{-0.5f, 0.5f, -5.0f}, 0, 1}};
    expectCorners(quadCorners(capturePolygons([] { drawSprite(0.0f, 0.0f, -5.0f, 0.5f, 4); })),
                  plain);

    // After 90 degrees about y the object's z axis points right on the screen: the square spans
    // object z -5.5 to -4.5 at x = 0, which lands at eye x -5.5 to -4.5 in the plane z = 0.
    const FeedbackVertex rotated[4] = {{{-5.5f, -0.5f, 0.0f}, 0, 0},
                                       {{-4.5f, -0.5f, 0.0f}, 1, 0},
                                       {{-4.5f, 0.5f, 0.0f}, 1, 1},
                                       {{-5.5f, 0.5f, 0.0f}, 0, 1}};
    expectCorners(quadCorners(capturePolygons([] {
                      glRotatef(90.0f, 0.0f, 1.0f, 0.0f);
                      drawSprite(0.0f, 0.0f, -5.0f, 0.5f, 4);
                  })),
                  rotated);
}

namespace {

GLuint makeSolidTexture(const unsigned char r, const unsigned char g, const unsigned char b) {
    std::vector<unsigned char> rgba(4 * 4 * 4);
    for (std::size_t i = 0; i < rgba.size(); i += 4) {
        rgba[i] = r;
        rgba[i + 1] = g;
        rgba[i + 2] = b;
        rgba[i + 3] = 255;
    }
    GLuint texture = 0;
    glGenTextures(1, &texture);
    glBindTexture(GL_TEXTURE_2D, texture);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, 4, 4, 0, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
    return texture;
}

GLint integerState(const GLenum name) {
    GLint value = 0;
    glGetIntegerv(name, &value);
    return value;
}

} // namespace

TEST(Sprite, MultipliesThePictureAndLeavesDepthOnBlendOff) {
    REQUIRE_HEADLESS_GL();
    const GLuint halfGrey = makeSolidTexture(128, 128, 128);
    textureTable[4] = halfGrey;
    glViewport(0, 0, kPictureWidth, kPictureHeight);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(-1.0, 1.0, -1.0, 1.0, -1.0, 1.0);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glClearColor(0.8f, 0.4f, 1.0f, 1.0f);
    glClearDepth(0.0); // a depth test left on would hide the sprite
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glClearDepth(1.0);
    glEnable(GL_TEXTURE_2D);
    glColor3f(1.0f, 1.0f, 1.0f);

    // Entered with blending on and the depth test on, and once more with both the other way.
    glEnable(GL_DEPTH_TEST);
    glEnable(GL_BLEND);
    glBlendFunc(GL_ONE, GL_ONE);
    drawSprite(-0.5f, 0.0f, 0.0f, 0.25f, 4);
    EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
    EXPECT_FALSE(glIsEnabled(GL_BLEND));
    glDisable(GL_DEPTH_TEST);
    drawSprite(0.5f, 0.0f, 0.0f, 0.25f, 4);
    EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
    EXPECT_FALSE(glIsEnabled(GL_BLEND));
    EXPECT_EQ(integerState(GL_BLEND_SRC_RGB), GL_DST_COLOR);
    EXPECT_EQ(integerState(GL_BLEND_DST_RGB), GL_ZERO);
    EXPECT_EQ(static_cast<GLuint>(integerState(GL_TEXTURE_BINDING_2D)), halfGrey);
    glDisable(GL_TEXTURE_2D);

    const Picture picture = readPicture();
    for (const int x : {200, 600}) { // the two sprite centres
        const std::uint8_t* const inside = picture.at(x, 300);
        EXPECT_NEAR(inside[0], 204 * 128 / 255, 2) << x;
        EXPECT_NEAR(inside[1], 102 * 128 / 255, 2) << x;
        EXPECT_NEAR(inside[2], 128, 2) << x;
    }
    const std::uint8_t* const outside = picture.at(400, 300);
    EXPECT_EQ(outside[0], 204);
    EXPECT_EQ(outside[2], 255);

    // A slot outside the texture table binds no texture instead of reading past the table.
    for (const int slot : {-1, kTextureSlots}) {
        drawSprite(0.0f, 0.0f, 0.0f, 0.1f, slot);
        EXPECT_EQ(integerState(GL_TEXTURE_BINDING_2D), 0) << slot;
    }
    textureTable[4] = 0;
    glDeleteTextures(1, &halfGrey);
}

TEST(Vec3, NormalizeScalesToUnitLengthAndLeavesZeroAlone) {
    Vec3 v{3.0f, 0.0f, 4.0f};
    vec3Normalize(&v);
    EXPECT_FLOAT_EQ(v.x, 0.6f);
    EXPECT_FLOAT_EQ(v.y, 0.0f);
    EXPECT_FLOAT_EQ(v.z, 0.8f);

    Vec3 zero{0.0f, 0.0f, 0.0f};
    vec3Normalize(&zero);
    EXPECT_EQ(zero.x, 0.0f);
    EXPECT_EQ(zero.y, 0.0f);
    EXPECT_EQ(zero.z, 0.0f);

    Vec3 tiny{0.0f, -1e-20f, 0.0f}; // the squares underflow in float; the length must not
    vec3Normalize(&tiny);
    EXPECT_FLOAT_EQ(tiny.y, -1.0f);
}

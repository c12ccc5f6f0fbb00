// The drawing layer on a headless OpenGL ES 3.0 context: where it splits draw calls, what it
// drops, what its pixels are, and what a shader that does not compile gives.
#include <gtest/gtest.h>

#include <string>

#include "draw/draw.h"
#include "draw/program.h"
#include "platform/gl.h"
#include "tests/support/headless_picture.h"

namespace {

// One quad at depth -5 centred on (x, y) under the 45-degree perspective the picture has.
void quadAt(const float x, const float y, const float half) {
    draw::begin(draw::Primitive::Quads);
    draw::texCoord(0, 0);
    draw::vertex(x - half, y - half, -5);
    draw::texCoord(1, 0);
    draw::vertex(x + half, y - half, -5);
    draw::texCoord(1, 1);
    draw::vertex(x + half, y + half, -5);
    draw::texCoord(0, 1);
    draw::vertex(x - half, y + half, -5);
    draw::end();
}

// A 2 x 2 texture sampled nearest: red, green / blue, white.
unsigned int checkerTexture() {
    const unsigned char texels[16] = {255, 0, 0,   255, 0,   255, 0,   255,
                                      0,   0, 255, 255, 255, 255, 255, 255};
    GLuint texture = 0;
    glGenTextures(1, &texture);
    glBindTexture(GL_TEXTURE_2D, texture);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, 2, 2, 0, GL_RGBA, GL_UNSIGNED_BYTE, texels);
    return texture;
}

void resetLayerState() {
    draw::selectMatrix(draw::MatrixStack::ModelView);
    draw::loadIdentity();
    draw::enableTexturing(false);
    draw::bindTexture(0);
    draw::enableBlending(false);
    draw::enableDepthTest(false);
    draw::enableScissor(false);
    draw::color(1, 1, 1);
    draw::clearColor(0, 0, 0, 1);
}

} // namespace

// A draw call is issued only where the state a primitive needs differs from the last one's:
// a state changed and changed back between two primitives costs nothing, colours and matrices
// never split (colours travel with the vertices, vertices arrive transformed), and a primitive
// wholly outside the view is dropped while one across its edge is kept.
TEST(DrawingLayer, BatchesSplitExactlyWhereTheStateChanges) {
    REQUIRE_HEADLESS_GL();
    resetLayerState();
    const auto callsFor = [](void (*const drawing)()) {
        draw::flush();
        draw::resetDrawCounts();
        drawing();
        draw::flush();
        return draw::drawCounts();
    };
    const struct {
        const char* what;
        void (*drawing)();
        int calls;
        int primitives;
        int dropped;
    } cases[] = {
        {"three quads, colours and matrices changing",
         [] {
             for (int i = 0; i < 3; ++i) {
                 draw::color(0.2f * i, 1, 1);
                 draw::translate(0.1f, 0, 0);
                 quadAt(0, 0, 0.2f);
             }
         },
         1, 3, 0},
        {"blending on between two quads",
         [] {
             quadAt(0, 0, 0.2f);
             draw::enableBlending(true);
             quadAt(0.5f, 0, 0.2f);
             draw::enableBlending(false);
         },
         2, 2, 0},
        {"a state changed and changed back with no primitive between",
         [] {
             quadAt(0, 0, 0.2f);
             draw::enableDepthTest(true);
             draw::blendFunction(draw::BlendFactor::DstColor, draw::BlendFactor::Zero);
             draw::blendFunction(draw::BlendFactor::One, draw::BlendFactor::Zero);
             draw::enableDepthTest(false);
             quadAt(0.5f, 0, 0.2f);
         },
         1, 2, 0},
        {"texture, blend function, viewport and scissor each",
         [] {
             quadAt(0, 0, 0.2f);
             draw::bindTexture(7);
             draw::enableTexturing(true);
             quadAt(0, 0, 0.2f);
             draw::blendFunction(draw::BlendFactor::SrcAlpha, draw::BlendFactor::One);
             quadAt(0, 0, 0.2f);
             draw::viewport(draw::Rect{0, 0, 400, 300});
             quadAt(0, 0, 0.2f);
             draw::enableScissor(true);
             quadAt(0, 0, 0.2f);
             draw::enableScissor(false);
             draw::enableTexturing(false);
             draw::bindTexture(0);
             draw::viewport(draw::Rect{0, 0, 800, 600});
             draw::blendFunction(draw::BlendFactor::One, draw::BlendFactor::Zero);
         },
         5, 5, 0},
        {"one quad wholly outside the view, one across its edge, one inside",
         [] {
             quadAt(40, 0, 0.5f);
             quadAt(2.7f, 0, 0.5f);
             quadAt(0, 0, 0.5f);
         },
         1, 2, 1},
        {"an unfinished quad and vertices outside a primitive",
         [] {
             draw::vertex(0, 0, -5);
             draw::begin(draw::Primitive::Quads);
             draw::vertex(0, 0, -5);
             draw::vertex(1, 0, -5);
             draw::end();
             draw::begin(draw::Primitive::Triangles);
             draw::vertex(0, 0, -5);
             draw::vertex(1, 0, -5);
             draw::vertex(1, 1, -5);
             draw::end();
         },
         1, 1, 0},
    };
    for (const auto& c : cases) {
        const draw::DrawCounts counts = callsFor(c.drawing);
        EXPECT_EQ(counts.drawCalls, c.calls) << c.what;
        EXPECT_EQ(counts.primitives, c.primitives) << c.what;
        EXPECT_EQ(counts.dropped, c.dropped) << c.what;
    }
}

// Texturing on with no texture bound (a texture that failed to load is named 0) draws the
// colour alone, constant over the primitive.
TEST(DrawingLayer, TexturingWithoutATextureDrawsTheColour) {
    REQUIRE_HEADLESS_GL();
    resetLayerState();
    draw::clear();
    draw::enableTexturing(true);
    draw::color(0.2f, 0.4f, 0.6f);
    quadAt(0, 0, 0.5f);
    draw::enableTexturing(false);
    const Picture picture = readPicture();
    for (const auto& [x, y] : {std::pair{380, 320}, std::pair{420, 280}}) {
        EXPECT_NEAR(picture.at(x, y)[0], 51, 1) << x;
        EXPECT_NEAR(picture.at(x, y)[1], 102, 1) << x;
        EXPECT_NEAR(picture.at(x, y)[2], 153, 1) << x;
    }
    resetLayerState();
}

// The nearest depth written per row: that of a depth-tested primitive's nearest corner in the
// rows its corners span on the picture, with a row of slack; 1 (cleared) elsewhere, for
// primitives drawn without the depth test, and after a clear.
TEST(DrawingLayer, NotesTheNearestDepthWrittenPerRow) {
    REQUIRE_HEADLESS_GL();
    resetLayerState();
    draw::selectMatrix(draw::MatrixStack::Projection);
    draw::pushMatrix();
    draw::loadIdentity();
    draw::selectMatrix(draw::MatrixStack::ModelView);
    const auto band = [](const bool depthTest) { // rows 300 to 330 of 600, depths 0.25 to 0.75
        draw::clear();
        draw::enableDepthTest(depthTest);
        draw::begin(draw::Primitive::Quads);
        draw::vertex(-1, 0, -0.5f);
        draw::vertex(1, 0, 0.5f);
        draw::vertex(1, 0.1f, 0.5f);
        draw::vertex(-1, 0.1f, 0);
        draw::end();
        draw::enableDepthTest(false);
    };
    band(true);
    EXPECT_EQ(draw::nearestDepthInRows(0, 298), 1.0f);
    EXPECT_FLOAT_EQ(draw::nearestDepthInRows(0, 301), 0.25f);
    EXPECT_FLOAT_EQ(draw::nearestDepthInRows(310, 320), 0.25f);
    EXPECT_FLOAT_EQ(draw::nearestDepthInRows(329, 600), 0.25f);
    EXPECT_EQ(draw::nearestDepthInRows(332, 600), 1.0f);
    draw::clear();
    EXPECT_EQ(draw::nearestDepthInRows(0, 600), 1.0f) << "after a clear";
    band(false);
    EXPECT_EQ(draw::nearestDepthInRows(0, 600), 1.0f) << "without the depth test";
    draw::selectMatrix(draw::MatrixStack::Projection);
    draw::popMatrix();
    draw::selectMatrix(draw::MatrixStack::ModelView);
}

// A shader that does not compile or link gives 0 and a message naming the stage with the
// compiler's own words; no program is left current and nothing crashes.
TEST(DrawingLayer, AShaderThatFailsGivesAClearMessage) {
    REQUIRE_HEADLESS_GL();
    const char* const attributes[] = {"position", nullptr};
    const char* const vertex = "in vec4 position;\nvoid main() { gl_Position = position; }\n";
    const char* const fragment =
        "precision mediump float;\nout vec4 c;\nvoid main() { c = vec4(1.0); }\n";
    const struct {
        const char* what;
        const char* vertexBody;
        const char* fragmentBody;
        const char* message;
    } cases[] = {
        {"a syntax error", vertex, "void main() { this is not GLSL }", "the fragment shader"},
        {"a missing stage", nullptr, fragment, "no vertex shader text"},
        {"an undeclared name", "void main() { gl_Position = where; }", fragment,
         "the vertex shader does not compile"},
        {"stages that do not link", vertex,
         "precision mediump float;\nin vec3 missing;\nout vec4 c;\n"
         "void main() { c = vec4(missing, 1.0); }\n",
         "do not link"},
    };
    for (const auto& c : cases) {
        std::string error;
        EXPECT_EQ(buildProgram(c.vertexBody, c.fragmentBody, attributes, &error), 0u) << c.what;
        EXPECT_NE(error.find(c.message), std::string::npos) << c.what << ": " << error;
    }
    std::string error;
    const unsigned int program = buildProgram(vertex, fragment, attributes, &error);
    EXPECT_NE(program, 0u) << error;
    glDeleteProgram(program);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

// With error checks on, the first GL error of a flush is kept with the pass it followed, and
// taking it clears it.
TEST(DrawingLayer, KeepsTheFirstErrorWithItsPass) {
    REQUIRE_HEADLESS_GL();
    resetLayerState();
    draw::checkErrors(true);
    draw::viewport(draw::Rect{0, 0, -1, 600}); // a negative width is refused by the GL
    quadAt(0, 0, 0.2f);
    draw::flush();
    draw::viewport(draw::Rect{0, 0, 800, 600});
    const char* where = nullptr;
    EXPECT_EQ(draw::takeFirstError(&where), static_cast<unsigned>(GL_INVALID_VALUE));
    EXPECT_STREQ(where, "a draw call");
    quadAt(0, 0, 0.2f);
    draw::flush();
    EXPECT_EQ(draw::takeFirstError(&where), 0u);
    draw::checkErrors(false);
}

// The matrix stacks: a pop restores the pushed matrix, popping the last one and pushing past
// the depth change nothing, and each stack keeps its own matrices.
TEST(DrawingLayer, MatrixStacksPushAndPopWithinTheirDepth) {
    const float projection = draw::currentMatrix(draw::MatrixStack::Projection)[0];
    draw::selectMatrix(draw::MatrixStack::ModelView);
    draw::loadIdentity();
    draw::translate(1, 2, 3);
    draw::popMatrix(); // the last matrix: nothing to pop
    EXPECT_EQ(draw::currentMatrix(draw::MatrixStack::ModelView)[12], 1.0f);
    for (int i = 0; i < draw::kMatrixStackDepth + 4; ++i) {
        draw::pushMatrix();
        draw::translate(1, 0, 0);
    }
    for (int i = 0; i < draw::kMatrixStackDepth - 1; ++i) {
        draw::popMatrix();
    }
    EXPECT_EQ(draw::currentMatrix(draw::MatrixStack::ModelView)[12], 1.0f);
    EXPECT_EQ(draw::currentMatrix(draw::MatrixStack::Projection)[0], projection);
    draw::popMatrix();
    EXPECT_EQ(draw::currentMatrix(draw::MatrixStack::ModelView)[12], 1.0f);
    draw::loadIdentity();
}

// What others bind between two flushes (a texture loaded, a copy) does not fool the layer: the
// next flush binds what its primitives need.
TEST(DrawingLayer, StateChangedBehindItsBackIsPutRight) {
    REQUIRE_HEADLESS_GL();
    resetLayerState();
    const unsigned int texture = checkerTexture();
    draw::bindTexture(texture);
    draw::enableTexturing(true);
    draw::clear();
    quadAt(0, 0, 0.5f);
    const Picture before = readPicture();
    draw::clear();
    glBindTexture(GL_TEXTURE_2D, 0); // as a loader or a copy leaves it
    quadAt(0, 0, 0.5f);
    const Picture after = readPicture();
    EXPECT_EQ(after.rgb, before.rgb);
    EXPECT_EQ(before.at(380, 320)[0], 255); // the checker's red texel, not untextured white
    EXPECT_EQ(before.at(380, 320)[1], 0);
    resetLayerState();
    GLuint name = texture;
    glDeleteTextures(1, &name);
}

#include <gtest/gtest.h>

#include "platform/gl.h"
#include "render/overlay.h"
#include "tests/support/headless_picture.h"

namespace {

// The state the frame has when the overlay runs: the picture cleared to green, depth cleared to
// `depth`, the depth test on with GL_LEQUAL, blending and texturing off, the scene's matrices.
void prepareFrameState(const double depth) {
    glViewport(0, 0, kPictureWidth, kPictureHeight);
    glClearColor(0.0f, 1.0f, 0.0f, 1.0f);
    glClearDepth(depth);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glClearDepth(1.0);
    glEnable(GL_DEPTH_TEST);
    glDepthFunc(GL_LEQUAL);
    glDisable(GL_BLEND);
    glDisable(GL_TEXTURE_2D);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(45.0, 800.0 / 600.0, 1.0, 100.0);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glTranslatef(0.0f, 0.0f, -6.0f);
}

bool isBlack(const std::uint8_t* pixel) {
    return pixel[0] == 0 && pixel[1] == 0 && pixel[2] == 0;
}

bool isGreen(const std::uint8_t* pixel) {
    return pixel[0] == 0 && pixel[1] == 255 && pixel[2] == 0;
}

void expectMatricesUnchanged(const float (&modelView)[16], const float (&projection)[16]) {
    float now[16];
    glGetFloatv(GL_MODELVIEW_MATRIX, now);
    for (int i = 0; i < 16; ++i) {
        EXPECT_EQ(now[i], modelView[i]) << "model-view " << i;
    }
    glGetFloatv(GL_PROJECTION_MATRIX, now);
    for (int i = 0; i < 16; ++i) {
        EXPECT_EQ(now[i], projection[i]) << "projection " << i;
    }
    GLint mode = 0;
    glGetIntegerv(GL_MATRIX_MODE, &mode);
    EXPECT_EQ(mode, GL_MODELVIEW);
}

} // namespace

// 140 of 480 units at the top and at the bottom are 175 of the 600 rows each.
TEST(Letterbox, BlackensTheTopAndBottomBandsAndKeepsTheMiddle) {
    REQUIRE_HEADLESS_GL();
    prepareFrameState(1.0);
    float modelView[16], projection[16];
    glGetFloatv(GL_MODELVIEW_MATRIX, modelView);
    glGetFloatv(GL_PROJECTION_MATRIX, projection);
    glColor4f(0.3f, 0.6f, 0.9f, 0.5f);

    drawLetterbox();

    const Picture picture = readPicture();
    int wrongRows = 0;
    for (int y = 0; y < kPictureHeight; ++y) {
        const bool inBand = y >= 175 && y < 425;
        for (const int x : {0, 1, 400, 798, 799}) {
            const std::uint8_t* const pixel = picture.at(x, y);
            if (inBand ? !isGreen(pixel) : !isBlack(pixel)) {
                ++wrongRows;
                ADD_FAILURE() << "pixel " << x << "," << y
                              << (inBand ? " not green" : " not black");
                break;
            }
        }
        if (wrongRows > 5) {
            break;
        }
    }
    float colour[4];
    glGetFloatv(GL_CURRENT_COLOR, colour);
    EXPECT_EQ(colour[0], 1.0f);
    EXPECT_EQ(colour[1], 1.0f);
    EXPECT_EQ(colour[2], 1.0f);
    expectMatricesUnchanged(modelView, projection);
}

TEST(Letterbox, ADepthNearerThanTheBarsLetsTheSceneShowThrough) {
    REQUIRE_HEADLESS_GL();
    prepareFrameState(0.25); // as if the scene had drawn close to the eye everywhere
    drawLetterbox();
    const Picture picture = readPicture();
    EXPECT_TRUE(isGreen(picture.at(400, 10)));
    EXPECT_TRUE(isGreen(picture.at(400, 590)));

    prepareFrameState(0.5); // exactly at the bars' depth: GL_LEQUAL lets them through
    drawLetterbox();
    EXPECT_TRUE(isBlack(readPicture().at(400, 10)));
}

TEST(Ortho2D, OriginIsTheTopLeftAndBothMatricesComeBack) {
    REQUIRE_HEADLESS_GL();
    prepareFrameState(1.0);
    float modelView[16], projection[16];
    glGetFloatv(GL_MODELVIEW_MATRIX, modelView);
    glGetFloatv(GL_PROJECTION_MATRIX, projection);

    beginOrtho2D();
    glColor3f(1.0f, 0.0f, 0.0f);
    glBegin(GL_QUADS); // 64 x 48 units at the origin: 80 x 60 pixels at the top left
    glVertex2f(0.0f, 0.0f);
    glVertex2f(0.0f, 48.0f);
    glVertex2f(64.0f, 48.0f);
    glVertex2f(64.0f, 0.0f);
    glEnd();
    glColor3f(1.0f, 1.0f, 1.0f);
    endOrtho2D();

    const Picture picture = readPicture();
    EXPECT_EQ(picture.at(0, 0)[0], 255);
    EXPECT_EQ(picture.at(79, 59)[0], 255);
    EXPECT_TRUE(isGreen(picture.at(80, 30)));
    EXPECT_TRUE(isGreen(picture.at(40, 60)));
    EXPECT_TRUE(isGreen(picture.at(0, 599)));
    EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
    expectMatricesUnchanged(modelView, projection);
}

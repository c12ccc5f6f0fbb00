#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/gl.h"
#include "tests/support/headless_picture.h"
#include "text/font.h"

// The glyphs here are plain quads (no atlas is loaded): enough to see where the pen goes.
// A byte without a cell (below 32 in set 0, from 160 in set 1) draws nothing and does not move
// the pen, even when display lists that move it far away lie before and after the font's; printing
// leaves the depth test on, texturing off and both matrices as they were.
TEST(Font, BytesWithoutACellDrawNothingAndPrintingKeepsTheState) {
    REQUIRE_HEADLESS_GL();
    const auto addForeignLists = [] {
        const GLuint first = glGenLists(128);
        for (GLuint i = first; i < first + 128; ++i) {
            glNewList(i, GL_COMPILE);
            glTranslated(1000.0, 0.0, 0.0);
            glEndList();
        }
    };
    addForeignLists();
    buildFont();
    addForeignLists();
    glMatrixMode(GL_MODELVIEW);
    glTranslatef(3.0f, 4.0f, 5.0f);
    GLint depth = 0;
    glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &depth);
    const auto draw = [](const char* text, const int set) {
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        glDisable(GL_DEPTH_TEST);
        glEnable(GL_TEXTURE_2D);
        printText(100, 100, text, set, 1.0f);
        EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST) && !glIsEnabled(GL_TEXTURE_2D))
            << ::testing::PrintToString(std::string(text != nullptr ? text : ""));
        return readPicture().rgb;
    };
    const std::vector<std::uint8_t> blank = draw("", 0);
    EXPECT_NE(draw("AB", 0), blank);
    EXPECT_EQ(draw("\x01\x1f"
                   "AB",
                   0),
              draw("AB", 0));
    EXPECT_EQ(draw("\xa0\xff"
                   "AB",
                   1),
              draw("AB", 9));
    EXPECT_EQ(draw("\x05", 0), blank);
    EXPECT_EQ(draw(nullptr, 0), blank);
    GLint depthAfter = 0;
    glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &depthAfter);
    float modelView[16];
    glGetFloatv(GL_MODELVIEW_MATRIX, modelView);
    EXPECT_TRUE(depthAfter == depth && modelView[12] == 3.0f && modelView[14] == 5.0f);
}

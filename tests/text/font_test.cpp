#include <gtest/gtest.h>

#include <string>

#include "demo/startup.h"
#include "platform/gl.h"
#include "tests/support/headless_picture.h"
#include "tests/text/test_atlas.h"
#include "text/font.h"

namespace {

constexpr int kGrey = 50;

// A grey picture with the state a caption finds: no blending, white colour, depth test on.
void prepareText() {
    useTestFont();
    glViewport(0, 0, kPictureWidth, kPictureHeight);
    glClearColor(kGrey / 255.0f, kGrey / 255.0f, kGrey / 255.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glDisable(GL_BLEND);
    glEnable(GL_DEPTH_TEST);
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
}

bool isGrey(const std::uint8_t* pixel) {
    return pixel[0] == kGrey && pixel[1] == kGrey && pixel[2] == kGrey;
}

GLint integerState(const GLenum name) {
    GLint value = 0;
    glGetIntegerv(name, &value);
    return value;
}

} // namespace

TEST(Font, EachSetDrawsItsOwnCellsFromTheListBase) {
    REQUIRE_HEADLESS_GL();
    struct Case {
        int set;
        int effectiveSet;
    };
    for (const Case c : {Case{0, 0}, Case{1, 1}, Case{2, 1}, Case{9, 1}, Case{-1, 0}}) {
        SCOPED_TRACE(c.set);
        prepareText();
        printText(100, 100, "A", c.set, 1.0f);
        EXPECT_EQ(static_cast<unsigned int>(integerState(GL_LIST_BASE)),
                  FontListBase + 128u * static_cast<unsigned int>(c.effectiveSet) - 32u);
        const Picture picture = readPicture();
        // 'A' (65) is cell 33 of set 0 and cell 161 of the atlas in set 1.
        EXPECT_EQ(cellAt(picture, 100, 100), c.effectiveSet == 0 ? 33 : 161);
        // The upper half of the glyph is the set's ground: white in set 0, black in set 1.
        const std::uint8_t* const ground = pixelAtUnits(picture, 108, 112);
        EXPECT_EQ(ground[0], c.effectiveSet == 0 ? 255 : 0);
        EXPECT_TRUE(isGrey(pixelAtUnits(picture, 98, 104))) << "left of the glyph";
        EXPECT_TRUE(isGrey(pixelAtUnits(picture, 118, 104))) << "right of the glyph";
        EXPECT_TRUE(isGrey(pixelAtUnits(picture, 108, 118))) << "above the glyph";
    }
}

TEST(Font, GlyphsAdvanceSixteenUnitsTimesTheScaleAndDoNotWrap) {
    REQUIRE_HEADLESS_GL();
    prepareText();
    printText(100, 100, "AB~", 0, 1.0f);
    printText(100, 200, "AB", 0, 2.0f);
    printText(620, 300, "AB", 0, 1.0f);
    const Picture picture = readPicture();

    EXPECT_EQ(cellAt(picture, 100, 100), 33);
    EXPECT_EQ(cellAt(picture, 116, 100), 34);
    EXPECT_EQ(cellAt(picture, 132, 100), '~' - 32);
    EXPECT_TRUE(isGrey(pixelAtUnits(picture, 150, 104))) << "past the third glyph";

    EXPECT_EQ(cellAt(picture, 100, 200, 2.0), 33);
    EXPECT_EQ(cellAt(picture, 132, 200, 2.0), 34);
    EXPECT_EQ(pixelAtUnits(picture, 116, 228)[0], 255) << "the ground reaches 32 units up";
    EXPECT_TRUE(isGrey(pixelAtUnits(picture, 116, 234)));

    // At 620 the second glyph runs off the right edge; nothing comes back at the left.
    EXPECT_EQ(cellAt(picture, 620, 300), 33);
    EXPECT_TRUE(isGrey(pixelAtUnits(picture, 4, 304)));
}

// Bytes below 32 in set 0 and from 160 in set 1 name no glyph list: they draw nothing and do
// not move the pen, even when other display lists follow the font's.
TEST(Font, BytesWithoutACellDrawNothingAndDoNotMoveThePen) {
    REQUIRE_HEADLESS_GL();
    prepareText();
    const GLuint foreign = glGenLists(128);
    for (GLuint i = 0; i < 128; ++i) {
        glNewList(foreign + i, GL_COMPILE);
        glTranslated(1000.0, 0.0, 0.0);
        glEndList();
    }
    printText(100, 100,
              "\x01\x1f"
              "A",
              0, 1.0f);
    printText(100, 200,
              "\xa0\xff"
              "A",
              1, 1.0f);
    printText(100, 300, "\x05", 0, 1.0f);
    glDeleteLists(foreign, 128);
    const Picture picture = readPicture();
    EXPECT_EQ(cellAt(picture, 100, 100), 33);
    EXPECT_EQ(cellAt(picture, 100, 200), 161);
    EXPECT_TRUE(isGrey(pixelAtUnits(picture, 108, 304)));
}

TEST(Font, EmptyStringLeavesDepthTestOnTexturingOffAndTheMatrices) {
    REQUIRE_HEADLESS_GL();
    prepareText();
    GLuint other = 0;
    glGenTextures(1, &other);
    glBindTexture(GL_TEXTURE_2D, other);
    glEnable(GL_TEXTURE_2D);
    glDisable(GL_DEPTH_TEST);
    const GLint modelViewDepth = integerState(GL_MODELVIEW_STACK_DEPTH);
    const GLint projectionDepth = integerState(GL_PROJECTION_STACK_DEPTH);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glTranslatef(3.0f, 4.0f, 5.0f);

    for (const char* const text : {"", static_cast<const char*>(nullptr)}) {
        printText(10, 10, text, 0, 1.0f);
        EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
        EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));
        EXPECT_EQ(static_cast<GLuint>(integerState(GL_TEXTURE_BINDING_2D)), fontTexture);
        EXPECT_EQ(integerState(GL_MATRIX_MODE), GL_MODELVIEW);
        EXPECT_EQ(integerState(GL_MODELVIEW_STACK_DEPTH), modelViewDepth);
        EXPECT_EQ(integerState(GL_PROJECTION_STACK_DEPTH), projectionDepth);
        float modelView[16];
        glGetFloatv(GL_MODELVIEW_MATRIX, modelView);
        EXPECT_EQ(modelView[12], 3.0f);
        EXPECT_EQ(modelView[14], 5.0f);
        glEnable(GL_TEXTURE_2D);
        glDisable(GL_DEPTH_TEST);
    }
    glDisable(GL_TEXTURE_2D);
    glDeleteTextures(1, &other);
    const Picture picture = readPicture();
    EXPECT_TRUE(isGrey(pixelAtUnits(picture, 18, 14)));
}

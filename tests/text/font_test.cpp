#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "draw/draw.h"
#include "tests/support/headless_picture.h"
#include "text/font.h"

// The glyphs here are plain quads (no atlas is loaded): enough to see where the pen goes.
// A byte without a cell (below 32 in set 0, from 160 in set 1) draws nothing and does not move
// the pen; printing leaves the depth test on, texturing off and both matrices as they were.
TEST(Font, BytesWithoutACellDrawNothingAndPrintingKeepsTheState) {
    REQUIRE_HEADLESS_GL();
    buildFont();
    draw::selectMatrix(draw::MatrixStack::ModelView);
    draw::pushMatrix();
    draw::translate(3.0f, 4.0f, 5.0f);
    float projection[16];
    std::memcpy(projection, draw::currentMatrix(draw::MatrixStack::Projection), sizeof(projection));
    const auto print = [](const char* text, const int set) {
        draw::clear();
        draw::enableDepthTest(false);
        draw::enableTexturing(true);
        printText(100, 100, text, set, 1.0f);
        EXPECT_TRUE(draw::depthTestEnabled() && !draw::texturingEnabled())
            << ::testing::PrintToString(std::string(text != nullptr ? text : ""));
        return readPicture().rgb;
    };
    const std::vector<std::uint8_t> blank = print("", 0);
    EXPECT_NE(print("AB", 0), blank);
    EXPECT_EQ(print("\x01\x1f"
                    "AB",
                    0),
              print("AB", 0));
    EXPECT_EQ(print("\xa0\xff"
                    "AB",
                    1),
              print("AB", 9));
    EXPECT_EQ(print("\x05", 0), blank);
    EXPECT_EQ(print(nullptr, 0), blank);
    const float* const modelView = draw::currentMatrix(draw::MatrixStack::ModelView);
    EXPECT_TRUE(modelView[12] == 3.0f && modelView[14] == 5.0f);
    EXPECT_EQ(std::memcmp(projection, draw::currentMatrix(draw::MatrixStack::Projection),
                          sizeof(projection)),
              0);
    draw::popMatrix();
}

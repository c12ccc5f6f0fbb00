#include <gtest/gtest.h>

#include "platform/gl.h"
#include "tests/support/headless_picture.h"

TEST(PictureTarget, IsAn800By600TargetWithA16BitDepthBuffer) {
    REQUIRE_HEADLESS_GL();
    GLint depthBits = 0;
    glGetFramebufferAttachmentParameteriv(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT,
                                          GL_FRAMEBUFFER_ATTACHMENT_DEPTH_SIZE, &depthBits);
    EXPECT_EQ(depthBits, 16);
    GLint viewport[4] = {};
    glGetIntegerv(GL_VIEWPORT, viewport);
    EXPECT_EQ(viewport[2], 800);
    EXPECT_EQ(viewport[3], 600);

    // The rows come back bottom-up: a scissored clear of the top row shows at row 0 from top.
    glClearColor(0, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    glEnable(GL_SCISSOR_TEST);
    glScissor(0, kPictureHeight - 1, kPictureWidth, 1);
    glClearColor(1, 1, 1, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    glDisable(GL_SCISSOR_TEST);
    const Picture picture = readPicture();
    EXPECT_EQ(picture.at(10, 0)[0], 255);
    EXPECT_EQ(picture.at(10, 1)[0], 0);
    EXPECT_EQ(picture.at(10, kPictureHeight - 1)[0], 0);
}

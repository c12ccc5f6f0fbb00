#include "shell/presentation.h"

#include <algorithm>
#include <cmath>

#include "demo/heads_up.h"
#include "draw/draw.h"
#include "platform/gl.h"
#include "render/picture_target.h"

PresentRect letterboxRect(const int drawableWidth, const int drawableHeight) {
    if (drawableWidth <= 0 || drawableHeight <= 0) {
        return PresentRect{};
    }
    constexpr double kWidth = 4.0;
    constexpr double kHeight = 3.0;
    const double scale = std::min(static_cast<double>(drawableWidth) / kWidth,
                                  static_cast<double>(drawableHeight) / kHeight);
    PresentRect rect;
    rect.width = std::clamp(static_cast<int>(std::lround(kWidth * scale)), 1, drawableWidth);
    rect.height = std::clamp(static_cast<int>(std::lround(kHeight * scale)), 1, drawableHeight);
    rect.x = (drawableWidth - rect.width) / 2;
    rect.y = (drawableHeight - rect.height) / 2;
    return rect;
}

PresentRect presentedRect(const int drawableWidth, const int drawableHeight,
                          const PictureSize picture, const bool pixelForPixel) {
    if (pixelForPixel && picture.width <= drawableWidth && picture.height <= drawableHeight) {
        return PresentRect{(drawableWidth - picture.width) / 2,
                           (drawableHeight - picture.height) / 2, picture.width, picture.height};
    }
    return letterboxRect(drawableWidth, drawableHeight);
}

void presentPicture(const PictureTarget& picture, const int drawableWidth, const int drawableHeight,
                    const bool pixelForPixel, const HeadsUp* const headsUp) {
    const PresentRect rect =
        presentedRect(drawableWidth, drawableHeight, picture.size, pixelForPixel);
    const bool scaled = rect.width != picture.size.width || rect.height != picture.size.height;
    GLfloat clearColor[4];
    glGetFloatv(GL_COLOR_CLEAR_VALUE, clearColor);
    const GLboolean scissor = glIsEnabled(GL_SCISSOR_TEST);
    glDisable(GL_SCISSOR_TEST);

    glBindFramebuffer(GL_DRAW_FRAMEBUFFER, 0);
    const GLenum back = GL_BACK;
    glDrawBuffers(1, &back);
    glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    if (rect.width > 0) {
        glBindFramebuffer(GL_READ_FRAMEBUFFER, picture.framebuffer);
        glReadBuffer(GL_COLOR_ATTACHMENT0);
        glBlitFramebuffer(0, 0, picture.size.width, picture.size.height, rect.x, rect.y,
                          rect.x + rect.width, rect.y + rect.height, GL_COLOR_BUFFER_BIT,
                          scaled ? GL_LINEAR : GL_NEAREST);
        if (headsUp != nullptr) { // over the bar of the window's copy: the picture keeps none
            const draw::Rect viewport = draw::currentViewport();
            draw::viewport(draw::Rect{rect.x, rect.y, rect.width, rect.height});
            drawHeadsUp(*headsUp);
            draw::flush();
            draw::viewport(viewport);
        }
    }

    glClearColor(clearColor[0], clearColor[1], clearColor[2], clearColor[3]);
    if (scissor == GL_TRUE) {
        glEnable(GL_SCISSOR_TEST);
    }
    bindPictureTarget(picture);
}

#include "render/picture_target.h"

#include "platform/gl.h"

bool createPictureTarget(PictureTarget* const target) {
    glGenFramebuffers(1, &target->framebuffer);
    glGenRenderbuffers(1, &target->colorBuffer);
    glGenRenderbuffers(1, &target->depthBuffer);

    glBindRenderbuffer(GL_RENDERBUFFER, target->colorBuffer);
    glRenderbufferStorage(GL_RENDERBUFFER, GL_RGBA8, kPictureWidth, kPictureHeight);
    glBindRenderbuffer(GL_RENDERBUFFER, target->depthBuffer);
    glRenderbufferStorage(GL_RENDERBUFFER, GL_DEPTH_COMPONENT16, kPictureWidth, kPictureHeight);
    glBindRenderbuffer(GL_RENDERBUFFER, 0);

    glBindFramebuffer(GL_FRAMEBUFFER, target->framebuffer);
    glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER,
                              target->colorBuffer);
    glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_RENDERBUFFER,
                              target->depthBuffer);
    if (glCheckFramebufferStatus(GL_FRAMEBUFFER) != GL_FRAMEBUFFER_COMPLETE) {
        glBindFramebuffer(GL_FRAMEBUFFER, 0);
        destroyPictureTarget(target);
        return false;
    }
    bindPictureTarget(*target);
    return true;
}

void bindPictureTarget(const PictureTarget& target) {
    glBindFramebuffer(GL_FRAMEBUFFER, target.framebuffer);
    glDrawBuffer(GL_COLOR_ATTACHMENT0);
    glReadBuffer(GL_COLOR_ATTACHMENT0);
}

void destroyPictureTarget(PictureTarget* const target) {
    if (target->framebuffer != 0) {
        glDeleteFramebuffers(1, &target->framebuffer);
    }
    if (target->colorBuffer != 0) {
        glDeleteRenderbuffers(1, &target->colorBuffer);
    }
    if (target->depthBuffer != 0) {
        glDeleteRenderbuffers(1, &target->depthBuffer);
    }
    *target = PictureTarget{};
}

void readPictureRgb(const PictureTarget& target, std::vector<std::uint8_t>* const rgb) {
    rgb->resize(static_cast<std::size_t>(kPictureWidth) * kPictureHeight * 3);
    glBindFramebuffer(GL_READ_FRAMEBUFFER, target.framebuffer);
    glReadBuffer(GL_COLOR_ATTACHMENT0);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, kPictureWidth, kPictureHeight, GL_RGB, GL_UNSIGNED_BYTE, rgb->data());
    glBindFramebuffer(GL_READ_FRAMEBUFFER, target.framebuffer);
}

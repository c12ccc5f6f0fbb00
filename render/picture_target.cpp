#include "render/picture_target.h"

#include "draw/draw.h"
#include "platform/gl.h"

static PictureSize currentPictureSize = kDefaultPictureSize;

bool isPictureSize(const PictureSize size) {
    return size.width * 3 == size.height * 4 && size.height >= kSmallestPictureSize.height &&
           size.height <= kLargestPictureSize.height;
}

bool operator==(const PictureSize a, const PictureSize b) {
    return a.width == b.width && a.height == b.height;
}

// A whole number of at most five digits at `text`; the position after it, or null.
static const char* readDimension(const char* text, int* const value) {
    int digits = 0;
    int number = 0;
    for (; *text >= '0' && *text <= '9' && digits < 5; ++text, ++digits) {
        number = number * 10 + (*text - '0');
    }
    if (digits == 0 || (*text >= '0' && *text <= '9')) {
        return nullptr;
    }
    *value = number;
    return text;
}

bool parseDimensions(const char* const text, int* const width, int* const height) {
    const char* const rest = text != nullptr ? readDimension(text, width) : nullptr;
    if (rest == nullptr || *rest != 'x') {
        return false;
    }
    const char* const end = readDimension(rest + 1, height);
    return end != nullptr && *end == '\0';
}

bool parsePictureSize(const char* const text, PictureSize* const size) {
    PictureSize parsed;
    const char* const rest = text != nullptr ? readDimension(text, &parsed.height) : nullptr;
    if (rest != nullptr && *rest == '\0') {
        parsed.width = parsed.height * 4 / 3; // rejected below unless the height divides by 3
    } else if (!parseDimensions(text, &parsed.width, &parsed.height)) {
        return false;
    }
    if (!isPictureSize(parsed)) {
        return false;
    }
    *size = parsed;
    return true;
}

bool setPictureSize(const PictureSize size) {
    if (!isPictureSize(size)) {
        return false;
    }
    currentPictureSize = size;
    return true;
}

PictureSize pictureSize() {
    return currentPictureSize;
}

float pictureScale() {
    return static_cast<float>(currentPictureSize.height) /
           static_cast<float>(kDefaultPictureSize.height);
}

// Gives the bound renderbuffers of the target the current size and attaches them; true when
// the framebuffer is complete.
static bool storeTargetBuffers(PictureTarget* const target) {
    target->size = currentPictureSize;
    glBindRenderbuffer(GL_RENDERBUFFER, target->colorBuffer);
    glRenderbufferStorage(GL_RENDERBUFFER, GL_RGBA8, target->size.width, target->size.height);
    glBindRenderbuffer(GL_RENDERBUFFER, target->depthBuffer);
    glRenderbufferStorage(GL_RENDERBUFFER, GL_DEPTH_COMPONENT16, target->size.width,
                          target->size.height);
    glBindRenderbuffer(GL_RENDERBUFFER, 0);

    glBindFramebuffer(GL_FRAMEBUFFER, target->framebuffer);
    glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER,
                              target->colorBuffer);
    glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_RENDERBUFFER,
                              target->depthBuffer);
    return glCheckFramebufferStatus(GL_FRAMEBUFFER) == GL_FRAMEBUFFER_COMPLETE;
}

bool createPictureTarget(PictureTarget* const target) {
    glGenFramebuffers(1, &target->framebuffer);
    glGenRenderbuffers(1, &target->colorBuffer);
    glGenRenderbuffers(1, &target->depthBuffer);
    if (!storeTargetBuffers(target)) {
        glBindFramebuffer(GL_FRAMEBUFFER, 0);
        destroyPictureTarget(target);
        return false;
    }
    bindPictureTarget(*target);
    return true;
}

bool resizePictureTarget(PictureTarget* const target) {
    const bool complete = storeTargetBuffers(target);
    bindPictureTarget(*target);
    return complete;
}

void bindPictureTarget(const PictureTarget& target) {
    draw::flush(); // what is pending belongs to the framebuffer bound before
    glBindFramebuffer(GL_FRAMEBUFFER, target.framebuffer);
    const GLenum attachment = GL_COLOR_ATTACHMENT0;
    glDrawBuffers(1, &attachment);
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

// OpenGL ES reads RGBA; the alpha of every pixel is dropped on the way.
void readPictureRgb(const PictureTarget& target, std::vector<std::uint8_t>* const rgb) {
    draw::flush();
    const std::size_t pixels = static_cast<std::size_t>(target.size.width) * target.size.height;
    static std::vector<std::uint8_t> rgba; // kept between reads: no allocation per frame
    rgba.resize(pixels * 4);
    rgb->resize(pixels * 3);
    glBindFramebuffer(GL_READ_FRAMEBUFFER, target.framebuffer);
    glReadBuffer(GL_COLOR_ATTACHMENT0);
    glPixelStorei(GL_PACK_ALIGNMENT, 4);
    glReadPixels(0, 0, target.size.width, target.size.height, GL_RGBA, GL_UNSIGNED_BYTE,
                 rgba.data());
    for (std::size_t i = 0; i < pixels; ++i) {
        (*rgb)[i * 3] = rgba[i * 4];
        (*rgb)[i * 3 + 1] = rgba[i * 4 + 1];
        (*rgb)[i * 3 + 2] = rgba[i * 4 + 2];
    }
    glBindFramebuffer(GL_READ_FRAMEBUFFER, target.framebuffer);
}

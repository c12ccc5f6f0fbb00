// PNG textures in the web build: the same operation as platform/png_texture.cpp over the
// images the browser decoded for the page (platform/web_images.h); the mipmap chain is made
// with glGenerateMipmap after the upload.
#include <vector>

#include "platform/gl.h"
#include "platform/png_texture.h"
#include "platform/web_images.h"

// Larger images are refused, as natively.
static constexpr unsigned kMaxSide = 8192;

unsigned int pngBind(const char* const path, const int mipmapMode, const int transparencyMode,
                     PngInfo* const info, const int wrap, const int minFilter,
                     const int magFilter) {
    (void)transparencyMode; // the image's own alpha is kept; opaque images get alpha 1
    PngInfo decoded;
    if (path == nullptr ||
        !webImageInfo(path, &decoded.width, &decoded.height, &decoded.depth, &decoded.alpha) ||
        decoded.width == 0 || decoded.height == 0 || decoded.width > kMaxSide ||
        decoded.height > kMaxSide) {
        return 0;
    }
    std::vector<unsigned char> rgba(static_cast<std::size_t>(decoded.width) * decoded.height * 4);
    webImageCopy(path, rgba.data());
    if (info != nullptr) {
        *info = decoded;
    }
    GLuint name = 0;
    glGenTextures(1, &name);
    glBindTexture(GL_TEXTURE_2D, name);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, wrap);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, wrap);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, minFilter);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, magFilter);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, static_cast<GLsizei>(decoded.width),
                 static_cast<GLsizei>(decoded.height), 0, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    if (mipmapMode == kPngBuildMipmaps) {
        glGenerateMipmap(GL_TEXTURE_2D);
    }
    return name;
}

#include "platform/png_texture.h"

#include <vector>

#include "platform/gl.h"
#include "platform/png_decoder.h"

unsigned int pngBind(const char* const path, const int mipmapMode, const int transparencyMode,
                     PngInfo* const info, const int wrap, const int minFilter,
                     const int magFilter) {
    (void)transparencyMode; // the image's own alpha is kept; opaque images get alpha 1
    std::vector<unsigned char> rgba;
    PngInfo decoded;
    if (path == nullptr || !decodePngFile(path, &rgba, &decoded)) {
        return 0;
    }
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
        glGenerateMipmap(GL_TEXTURE_2D); // every smaller level, made from level 0
    }
    return name;
}

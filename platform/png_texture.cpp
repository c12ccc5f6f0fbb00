#include "platform/png_texture.h"

#include <cstdio>
#include <png.h>
#include <vector>

#include "platform/file_bytes.h"
#include "platform/gl.h"

// Larger images are refused rather than risk an allocation the machine cannot make.
static constexpr unsigned kMaxSide = 8192;

// Decodes PNG bytes to 8-bit RGBA rows, top row first. False for anything libpng rejects.
static bool decodePng(const std::vector<unsigned char>& bytes, std::vector<unsigned char>* rgba,
                      PngInfo* const info) {
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (png_image_begin_read_from_memory(&image, bytes.data(), bytes.size()) == 0) {
        return false;
    }
    if (image.width == 0 || image.height == 0 || image.width > kMaxSide ||
        image.height > kMaxSide) {
        png_image_free(&image);
        return false;
    }
    const bool hasAlpha = (image.format & PNG_FORMAT_FLAG_ALPHA) != 0;
    const unsigned channels = PNG_IMAGE_SAMPLE_CHANNELS(image.format);
    image.format = PNG_FORMAT_RGBA;
    rgba->resize(PNG_IMAGE_SIZE(image));
    if (png_image_finish_read(&image, nullptr, rgba->data(), 0, nullptr) == 0) {
        png_image_free(&image);
        return false;
    }
    if (info != nullptr) {
        info->width = image.width;
        info->height = image.height;
        info->depth = channels * 8;
        info->alpha = hasAlpha ? 8 : 0;
    }
    return true;
}

unsigned int pngBind(const char* const path, const int mipmapMode, const int transparencyMode,
                     PngInfo* const info, const int wrap, const int minFilter,
                     const int magFilter) {
    (void)transparencyMode; // the image's own alpha is kept; opaque images get alpha 1
    std::vector<unsigned char> bytes;
    std::vector<unsigned char> rgba;
    PngInfo decoded;
    if (path == nullptr || !readFileBytes(path, &bytes) || bytes.empty() ||
        !decodePng(bytes, &rgba, &decoded)) {
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

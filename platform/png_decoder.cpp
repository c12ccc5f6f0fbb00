// PNG files decoded with libpng: the decoder of platform/png_decoder.h on the desktop.
#include <png.h>

#include "platform/file_bytes.h"
#include "platform/png_decoder.h"

// Decodes PNG bytes to 8-bit RGBA rows, top row first. False for anything libpng rejects.
static bool decodePng(const std::vector<unsigned char>& bytes, std::vector<unsigned char>* rgba,
                      PngInfo* const info) {
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (png_image_begin_read_from_memory(&image, bytes.data(), bytes.size()) == 0) {
        return false;
    }
    if (image.width == 0 || image.height == 0 || image.width > kMaxPngSide ||
        image.height > kMaxPngSide) {
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

bool decodePngFile(const char* const path, std::vector<unsigned char>* const rgba,
                   PngInfo* const info) {
    std::vector<unsigned char> bytes;
    return readFileBytes(path, &bytes) && !bytes.empty() && decodePng(bytes, rgba, info);
}

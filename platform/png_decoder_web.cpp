// The PNG decoder of platform/png_decoder.h in the web build: the images the browser decoded
// for the page, with colour conversion and premultiplication off (platform/web_images.h).
#include "platform/png_decoder.h"
#include "platform/web_images.h"

bool decodePngFile(const char* const path, std::vector<unsigned char>* const rgba,
                   PngInfo* const info) {
    if (!webImageInfo(path, &info->width, &info->height, &info->depth, &info->alpha) ||
        info->width == 0 || info->height == 0 || info->width > kMaxPngSide ||
        info->height > kMaxPngSide) {
        return false;
    }
    rgba->resize(static_cast<std::size_t>(info->width) * info->height * 4);
    webImageCopy(path, rgba->data());
    return true;
}

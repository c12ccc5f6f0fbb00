#include "render_tool/image_writer.h"

#include <algorithm>
#include <cstdio>
#include <png.h>
#include <unistd.h>

bool writePicturePng(const std::string& path, const RgbImage& picture, std::string* const error) {
    const std::string temporary = path + ".part" + std::to_string(getpid());
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    image.width = static_cast<png_uint_32>(picture.width);
    image.height = static_cast<png_uint_32>(picture.height);
    image.format = PNG_FORMAT_RGB;
    const png_int_32 stride = picture.width * 3;
    // A negative stride hands libpng the rows bottom-up, so the file comes out upright.
    if (png_image_write_to_file(&image, temporary.c_str(), 0, picture.rgb.data(), -stride,
                                nullptr) == 0) {
        *error = "cannot write " + path + ": " + image.message;
        std::remove(temporary.c_str());
        return false;
    }
    if (std::rename(temporary.c_str(), path.c_str()) != 0) {
        *error = "cannot write " + path;
        std::remove(temporary.c_str());
        return false;
    }
    return true;
}

void placeInFrame(const RgbImage& picture, const int frameWidth, const int frameHeight,
                  RgbImage* const frame) {
    if (frameWidth == picture.width && frameHeight == picture.height) {
        *frame = picture;
        return;
    }
    frame->width = frameWidth;
    frame->height = frameHeight;
    frame->rgb.assign(static_cast<std::size_t>(frameWidth) * frameHeight * 3, 0);
    const int left = (frameWidth - picture.width) / 2;
    const int bottom = (frameHeight - picture.height) / 2;
    const std::size_t rowBytes = static_cast<std::size_t>(picture.width) * 3;
    for (int y = 0; y < picture.height; ++y) {
        const std::size_t from = static_cast<std::size_t>(y) * rowBytes;
        const std::size_t to =
            (static_cast<std::size_t>(bottom + y) * frameWidth + static_cast<std::size_t>(left)) *
            3;
        std::copy_n(picture.rgb.begin() + static_cast<std::ptrdiff_t>(from), rowBytes,
                    frame->rgb.begin() + static_cast<std::ptrdiff_t>(to));
    }
}

std::string framePath(const std::string& directory, const int index) {
    char name[32];
    std::snprintf(name, sizeof(name), "frame_%06d.png", index);
    return directory + name;
}

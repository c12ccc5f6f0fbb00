#include "render_tool/image_writer.h"

#include <cstdio>
#include <png.h>
#include <unistd.h>

#include "render/picture_target.h"

bool writePicturePng(const std::string& path, const std::vector<std::uint8_t>& rgb,
                     std::string* const error) {
    const std::string temporary = path + ".part" + std::to_string(getpid());
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    image.width = kPictureWidth;
    image.height = kPictureHeight;
    image.format = PNG_FORMAT_RGB;
    const png_int_32 stride = kPictureWidth * 3;
    // A negative stride hands libpng the rows bottom-up, so the file comes out upright.
    if (png_image_write_to_file(&image, temporary.c_str(), 0, rgb.data(), -stride, nullptr) == 0) {
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

std::string framePath(const std::string& directory, const int index) {
    char name[32];
    std::snprintf(name, sizeof(name), "frame_%06d.png", index);
    return directory + name;
}

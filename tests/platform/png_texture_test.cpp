#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <png.h>
#include <string>
#include <vector>

#include "demo/startup.h"
#include "platform/gl.h"
#include "platform/png_texture.h"
#include "tests/support/headless_picture.h"

namespace {

// The RGBA texels of the bound 2D texture, row 0 (t = 0) first, read through a framebuffer
// (OpenGL ES has no texture read-back); and one of its parameters.
std::vector<std::uint8_t> boundTexels(const int width, const int height) {
    GLint texture = 0;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &texture);
    GLint previous = 0;
    glGetIntegerv(GL_READ_FRAMEBUFFER_BINDING, &previous);
    GLuint framebuffer = 0;
    glGenFramebuffers(1, &framebuffer);
    glBindFramebuffer(GL_READ_FRAMEBUFFER, framebuffer);
    glFramebufferTexture2D(GL_READ_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D,
                           static_cast<GLuint>(texture), 0);
    std::vector<std::uint8_t> texels(static_cast<std::size_t>(width * height * 4));
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, width, height, GL_RGBA, GL_UNSIGNED_BYTE, texels.data());
    glBindFramebuffer(GL_READ_FRAMEBUFFER, static_cast<GLuint>(previous));
    glDeleteFramebuffers(1, &framebuffer);
    return texels;
}
GLint parameter(const GLenum name) {
    GLint value = 0;
    glGetTexParameteriv(GL_TEXTURE_2D, name, &value);
    return value;
}

} // namespace

// A good picture loads top row first with the caller's parameters; missing, damaged or absurdly
// large ones give 0 and leave the binding and the caller's record alone.
TEST(PngTexture, LoadsAGoodPictureTopRowFirstAndRefusesBadOnesTouchingNothing) {
    REQUIRE_HEADLESS_GL();
    std::string folderName =
        (std::filesystem::temp_directory_path() / "vellomire_png_XXXXXX").string();
    const std::filesystem::path folder = mkdtemp(folderName.data());
    const auto write = [&folder](const char* file, int width, int height, int channels,
                                 const std::vector<std::uint8_t>& pixels) {
        png_image image{};
        image.version = PNG_IMAGE_VERSION;
        image.width = static_cast<png_uint_32>(width);
        image.height = static_cast<png_uint_32>(height);
        image.format = channels == 4 ? PNG_FORMAT_RGBA : PNG_FORMAT_RGB;
        const std::string path = (folder / file).string();
        EXPECT_NE(png_image_write_to_file(&image, path.c_str(), 0, pixels.data(), 0, nullptr), 0);
        return path;
    };
    // An opaque picture 601 pixels wide, top row first: rows of 1803 bytes test the unpack
    // alignment.
    std::vector<std::uint8_t> rgb(601 * 2 * 3);
    std::generate(rgb.begin(), rgb.end(), [k = 0]() mutable { return k += 7; });
    PngInfo info;
    const GLuint texture = pngBind(write("opaque.png", 601, 2, 3, rgb).c_str(), kPngNoMipmap,
                                   kPngAlpha, &info, GL_REPEAT, GL_LINEAR, GL_NEAREST);
    EXPECT_TRUE(info.width == 601 && info.height == 2 && info.alpha == 0 && info.depth == 24);
    const std::vector<std::uint8_t> texels = boundTexels(601, 2);
    for (std::size_t p = 0; p < 601 * 2; ++p) {
        EXPECT_TRUE(std::equal(&rgb[3 * p], &rgb[3 * p + 3], &texels[4 * p]) &&
                    texels[4 * p + 3] == 255)
            << "pixel " << p;
    }
    EXPECT_TRUE(parameter(GL_TEXTURE_WRAP_S) == GL_REPEAT &&
                parameter(GL_TEXTURE_WRAP_T) == GL_REPEAT &&
                parameter(GL_TEXTURE_MIN_FILTER) == GL_LINEAR &&
                parameter(GL_TEXTURE_MAG_FILTER) == GL_NEAREST);

    std::ifstream good(write("good.png", 1, 1, 4, {1, 2, 3, 4}), std::ios::binary);
    const std::string bytes{std::istreambuf_iterator<char>(good), {}};
    std::ofstream(folder / "empty.png");
    std::ofstream(folder / "cut.png", std::ios::binary) << bytes.substr(0, bytes.size() / 2);
    std::ofstream(folder / "header.png", std::ios::binary) << bytes.substr(0, 8);
    write("too_wide.png", 9000, 1, 3, std::vector<std::uint8_t>(9000 * 3));
    for (const char* const file :
         {"missing.png", "empty.png", "cut.png", "header.png", "too_wide.png", ""}) {
        const std::string path = (folder / file).string(); // "" is the folder itself
        info.width = 77;
        EXPECT_EQ(pngBind(path.c_str(), kPngNoMipmap, kPngAlpha, &info, GL_REPEAT, GL_NEAREST,
                          GL_NEAREST),
                  0u)
            << path;
        EXPECT_EQ(info.width, 77u) << "a failed load leaves the record alone: " << path;
        EXPECT_EQ(loadTexture(path.c_str()), 0u) << path;
        GLint bound = 0;
        glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
        EXPECT_EQ(static_cast<GLuint>(bound), texture) << "nothing was bound: " << path;
    }
    EXPECT_EQ(loadTexture(nullptr), 0u);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    glDeleteTextures(1, &texture);
    std::filesystem::remove_all(folder);
}

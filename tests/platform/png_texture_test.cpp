#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <png.h>
#include <string>
#include <unistd.h>
#include <vector>

#include "demo/startup.h"
#include "platform/gl.h"
#include "platform/png_texture.h"
#include "tests/support/headless_picture.h"

namespace {

namespace fs = std::filesystem;

class PngTextureTest : public ::testing::Test {
  protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() /
               ("vellomire_png_" + std::to_string(static_cast<long>(::getpid())));
        fs::create_directories(dir_);
    }
    void TearDown() override { fs::remove_all(dir_); }

    // Writes a PNG of `width` x `height` pixels with `channels` (3 or 4) bytes each, top row
    // first, and returns its path.
    std::string writePng(const char* const name, const int width, const int height,
                         const int channels, const std::vector<std::uint8_t>& pixels) {
        const std::string path = (dir_ / name).string();
        png_image image{};
        image.version = PNG_IMAGE_VERSION;
        image.width = static_cast<png_uint_32>(width);
        image.height = static_cast<png_uint_32>(height);
        image.format = channels == 4 ? PNG_FORMAT_RGBA : PNG_FORMAT_RGB;
        EXPECT_NE(png_image_write_to_file(&image, path.c_str(), 0, pixels.data(), 0, nullptr), 0);
        return path;
    }

    std::string writeBytes(const char* const name, const std::string& bytes) {
        const std::string path = (dir_ / name).string();
        std::ofstream(path, std::ios::binary) << bytes;
        return path;
    }

    // The RGBA texels of the bound 2D texture, row 0 (t = 0) first.
    static std::vector<std::uint8_t> boundTexels(const int width, const int height) {
        std::vector<std::uint8_t> texels(static_cast<std::size_t>(width * height * 4));
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, texels.data());
        return texels;
    }

    static GLint boundParameter(const GLenum name) {
        GLint value = 0;
        glGetTexParameteriv(GL_TEXTURE_2D, name, &value);
        return value;
    }

    fs::path dir_;
};

TEST_F(PngTextureTest, TopRowGoesToTZeroWithItsAlphaAndTheShowsParameters) {
    REQUIRE_HEADLESS_GL();
    // Two rows of two pixels: the top row red and half-transparent green, the bottom row
    // transparent blue and opaque white.
    const std::vector<std::uint8_t> pixels = {255, 0, 0,   255, 0,   255, 0,   128,
                                              0,   0, 255, 0,   255, 255, 255, 255};
    const std::string path = writePng("two_rows.png", 2, 2, 4, pixels);

    const GLuint name = loadTexture(path.c_str());
    ASSERT_NE(name, 0u);
    EXPECT_EQ(glIsTexture(name), GL_TRUE);
    glBindTexture(GL_TEXTURE_2D, name);
    EXPECT_EQ(boundTexels(2, 2), pixels) << "file order: the top row is texture row 0";
    EXPECT_EQ(boundParameter(GL_TEXTURE_WRAP_S), GL_REPEAT);
    EXPECT_EQ(boundParameter(GL_TEXTURE_WRAP_T), GL_REPEAT);
    EXPECT_EQ(boundParameter(GL_TEXTURE_MIN_FILTER), GL_NEAREST);
    EXPECT_EQ(boundParameter(GL_TEXTURE_MAG_FILTER), GL_NEAREST);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    glDeleteTextures(1, &name);
}

TEST_F(PngTextureTest, OpaqueImagesGetFullAlphaAndReportTheirSize) {
    REQUIRE_HEADLESS_GL();
    // Three pixels wide, so rows of 9 bytes test the unpack alignment too.
    const std::vector<std::uint8_t> rgb = {10, 20, 30, 40, 50, 60, 70, 80, 90,
                                           11, 21, 31, 41, 51, 61, 71, 81, 91};
    const std::string path = writePng("opaque.png", 3, 2, 3, rgb);
    PngInfo info;
    const GLuint name = pngBind(path.c_str(), kPngNoMipmap, kPngAlpha, &info, GL_CLAMP_TO_EDGE,
                                GL_LINEAR, GL_NEAREST);
    ASSERT_NE(name, 0u);
    EXPECT_EQ(info.width, 3u);
    EXPECT_EQ(info.height, 2u);
    EXPECT_EQ(info.alpha, 0u);
    EXPECT_EQ(info.depth, 24u);
    const std::vector<std::uint8_t> texels = boundTexels(3, 2);
    for (int i = 0; i < 6; ++i) {
        EXPECT_EQ(texels[i * 4 + 0], rgb[i * 3 + 0]);
        EXPECT_EQ(texels[i * 4 + 1], rgb[i * 3 + 1]);
        EXPECT_EQ(texels[i * 4 + 2], rgb[i * 3 + 2]);
        EXPECT_EQ(texels[i * 4 + 3], 255);
    }
    EXPECT_EQ(boundParameter(GL_TEXTURE_WRAP_S), GL_CLAMP_TO_EDGE) << "the caller's wrap mode";
    EXPECT_EQ(boundParameter(GL_TEXTURE_MIN_FILTER), GL_LINEAR);
    glDeleteTextures(1, &name);
}

TEST_F(PngTextureTest, UnreadableFilesGiveZeroAndTouchNothing) {
    REQUIRE_HEADLESS_GL();
    const std::string good = writePng("good.png", 1, 1, 4, std::vector<std::uint8_t>{1, 2, 3, 4});
    std::ifstream goodFile(good, std::ios::binary);
    const std::string goodBytes{std::istreambuf_iterator<char>(goodFile), {}};

    const std::string paths[] = {
        (dir_ / "missing.png").string(),
        writeBytes("empty.png", ""),
        writeBytes("text.png", "this is not a picture"),
        writeBytes("truncated.png", goodBytes.substr(0, goodBytes.size() / 2)),
        writeBytes("header_only.png", goodBytes.substr(0, 8)),
        dir_.string(),
    };
    GLuint sentinel = 0;
    glGenTextures(1, &sentinel);
    glBindTexture(GL_TEXTURE_2D, sentinel);
    for (const std::string& path : paths) {
        PngInfo info;
        info.width = 77;
        EXPECT_EQ(pngBind(path.c_str(), kPngNoMipmap, kPngAlpha, &info, GL_REPEAT, GL_NEAREST,
                          GL_NEAREST),
                  0u)
            << path;
        EXPECT_EQ(info.width, 77u) << "a failed load leaves the record alone: " << path;
        EXPECT_EQ(loadTexture(path.c_str()), 0u) << path;
        GLint bound = 0;
        glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
        EXPECT_EQ(static_cast<GLuint>(bound), sentinel) << "nothing was bound: " << path;
    }
    EXPECT_EQ(loadTexture(nullptr), 0u);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    glDeleteTextures(1, &sentinel);
}

} // namespace

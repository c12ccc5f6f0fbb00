#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "demo/startup.h"
#include "platform/gl.h"
// The level query is OpenGL ES 3.1, which Mesa offers natively (the show itself needs 3.0).
#include "tests/support/headless_picture.h"
#include <GLES3/gl31.h>

namespace {

namespace fs = std::filesystem;

// The width of a level of a texture, 0 for a level it lacks, and one of its parameters.
GLint levelWidth(const unsigned int texture, const int level) {
    GLint width = 0;
    glBindTexture(GL_TEXTURE_2D, texture);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, level, GL_TEXTURE_WIDTH, &width);
    return width;
}
GLint parameter(const unsigned int texture, const GLenum name) {
    GLint value = 0;
    glBindTexture(GL_TEXTURE_2D, texture);
    glGetTexParameteriv(GL_TEXTURE_2D, name, &value);
    return value;
}

} // namespace

// Taller pictures get larger textures, mipmapped and filtered linearly (the font the largest); a
// change of scale frees the textures it replaces and no other; a larger file that is missing gives
// its 1x texture with the 1x filters and one line on stderr.
TEST(ShowTextures, EachScaleLoadsItsFilesAndAMissingLargerFileFallsBackTo1x) {
    REQUIRE_HEADLESS_GL();
    for (const auto& [height, scale] : {std::pair{600, 1}, {601, 2}, {1200, 2}, {1201, 4}}) {
        EXPECT_EQ(textureScaleFor(height), scale) << height;
    }
    GLuint other = 0;
    glGenTextures(1, &other);
    glBindTexture(GL_TEXTURE_2D, other);
    loadTextures(1);
    for (const int scale : {2, 4, 1}) {
        const unsigned int old[] = {textureTable[kParticleSlot], textureTable[kButterflySlot],
                                    fontTexture};
        replaceTextures(scale);
        const unsigned int now[] = {textureTable[kParticleSlot], textureTable[kButterflySlot],
                                    fontTexture};
        for (const unsigned int name : old) { // a freed name may come back for a new texture
            EXPECT_TRUE(!glIsTexture(name) || std::count(now, now + 3, name) == 1) << scale;
        }
        EXPECT_TRUE(glIsTexture(other));
        // The font's atlas is the 4x one at every scale above 1.
        const GLint sizes[] = {64 * scale, 256 * scale, 256 * (scale == 1 ? 1 : 4)};
        for (int i = 0; i < 3; ++i) {
            EXPECT_EQ(levelWidth(now[i], 0), sizes[i]) << scale << " " << i;
            EXPECT_EQ(levelWidth(now[i], 1), scale == 1 || i != 2 ? 0 : sizes[i] / 2);
            // Only the glyphs are filtered, mipmapped and clamped; the butterfly's wings repeat.
            const bool linear = scale > 1 && i == 2;
            EXPECT_EQ(parameter(now[i], GL_TEXTURE_MIN_FILTER),
                      linear ? GL_LINEAR_MIPMAP_LINEAR : GL_NEAREST);
            EXPECT_EQ(parameter(now[i], GL_TEXTURE_MAG_FILTER), linear ? GL_LINEAR : GL_NEAREST);
            EXPECT_EQ(parameter(now[i], GL_TEXTURE_WRAP_S),
                      scale > 1 && i != 1 ? GL_CLAMP_TO_EDGE : GL_REPEAT);
        }
    }
    std::string folder = (fs::temp_directory_path() / "vellomire_textures_XXXXXX").string();
    const fs::path root = mkdtemp(folder.data());
    fs::create_directories(root / "data/textures");
    fs::copy_file("data/textures/particle.png", root / "data/textures/particle.png");
    fs::current_path(root);
    testing::internal::CaptureStderr();
    replaceTextures(2);
    const std::string said = testing::internal::GetCapturedStderr();
    fs::current_path(VELLOMIRE_SOURCE_DIR);
    fs::remove_all(root);
    EXPECT_EQ(levelWidth(textureTable[kParticleSlot], 0), 64);
    EXPECT_EQ(parameter(textureTable[kParticleSlot], GL_TEXTURE_MIN_FILTER), GL_NEAREST);
    EXPECT_TRUE(textureTable[kButterflySlot] == 0 && fontTexture == 0);
    EXPECT_EQ(std::count(said.begin(), said.end(), '\n'), 3) << said;
    EXPECT_NE(said.find("data/textures/particle-2x.png"), std::string::npos) << said;
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    glDeleteTextures(1, &other);
}

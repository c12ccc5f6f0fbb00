#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "model/obj_model.h"
#include "tools/app_icon.h"
#include "tools/content_files.h"
#include "tools/content_image.h"

namespace {

const std::string kRoot = VELLOMIRE_SOURCE_DIR "/";

} // namespace

// The guard of data/ and resources/: the generators make every committed file (the music
// aside) byte for byte.
TEST(ContentFiles, TheGeneratorsReproduceEveryCommittedFile) {
    std::vector<ContentFile> files;
    std::string error;
    ASSERT_TRUE(makeContentFiles(&files, &error)) << error;
    ASSERT_EQ(files.size(), 11u + std::size(kAppIconSizes));
    for (const ContentFile& file : files) {
        std::vector<std::uint8_t> committed;
        ASSERT_TRUE(readFileBytes(kRoot + file.path, &committed)) << file.path;
        EXPECT_TRUE(committed == file.bytes) << file.path << " differs from its generator";
    }
}

// What no picture of the show shows: the dialog's picture is an uncompressed 24-bit bottom-up
// BMP of 397 x 174 with rows padded to 4 bytes; every icon is a square RGBA image with rounded
// (transparent) corners and an opaque middle.
TEST(ContentFiles, TheDialogPictureAndTheIconsHaveTheirFormats) {
    std::vector<std::uint8_t> bmp;
    ASSERT_TRUE(readFileBytes(kRoot + "resources/dialog_picture.bmp", &bmp));
    ASSERT_EQ(bmp.size(), 54u + 1192u * 174u);
    const auto field = [&bmp](const std::size_t offset, const int bytes) {
        std::uint32_t value = 0;
        for (int i = bytes - 1; i >= 0; --i) {
            value = value << 8 | bmp[offset + static_cast<std::size_t>(i)];
        }
        return value;
    };
    EXPECT_EQ(field(0, 2), 0x4d42u); // "BM"
    const std::uint32_t header[][3] = {{2, 4, 54 + 1192 * 174},
                                       {10, 4, 54},
                                       {14, 4, 40},
                                       {18, 4, 397},
                                       {22, 4, 174},
                                       {28, 2, 24},
                                       {30, 4, 0}};
    for (const auto& h : header) {
        EXPECT_EQ(field(h[0], static_cast<int>(h[1])), h[2]) << "at byte " << h[0];
    }
    for (const int size : kAppIconSizes) {
        const std::string path = kRoot + "resources/icons/hicolor/" + std::to_string(size) + "x" +
                                 std::to_string(size) + "/apps/vellomire.png";
        std::vector<std::uint8_t> bytes;
        Image icon;
        ASSERT_TRUE(readFileBytes(path, &bytes) && decodePng(bytes, &icon)) << path;
        ASSERT_TRUE(icon.width == size && icon.height == size && icon.channels == 4) << path;
        EXPECT_LT(icon.at(0, 0)[3], 32) << path;
        EXPECT_EQ(icon.at(size / 2, size / 2)[3], 255) << path;
    }
}

// The model the show loads at start-up and never draws (so only its form matters): the show's
// loader reads it without a fault as 32 x 16 textured quads in the groups outer and inner.
TEST(ContentFiles, TheTorusLoadsWithoutAFault) {
    ObjModel m;
    ASSERT_EQ(loadObjModel(&m, (kRoot + "data/3d/torus.obj").c_str()), 1);
    EXPECT_EQ(m.skippedStatements + m.droppedTriangles + m.faultyVertexLines, 0);
    ASSERT_TRUE(m.positionCount == 512 && m.normalCount == 512 && m.texCoordCount == 33 * 17);
    EXPECT_EQ(m.triangleCount, 1024);
    ASSERT_EQ(m.groupCount, 3);
    EXPECT_TRUE(m.groups->name == "inner" && m.groups->next->name == "outer");
    EXPECT_EQ(m.groups->triangleCount + m.groups->next->triangleCount, 1024u);
    for (const ObjTriangle& t : m.triangles) {
        EXPECT_NE(t.texCoordIndex[0], 0);
    }
}

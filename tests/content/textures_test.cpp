#include <algorithm>
#include <cmath>

#include "tests/content/content_test_support.h"
#include "tools/app_icon.h"
#include "tools/content_files.h"

namespace {

int darkness(const std::uint8_t* pixel) {
    return 3 * 255 - pixel[0] - pixel[1] - pixel[2];
}

bool isWhite(const std::uint8_t* pixel) {
    return pixel[0] == 255 && pixel[1] == 255 && pixel[2] == 255;
}

} // namespace

TEST(ParticleTexture, IsASoftDarkDotOnPureWhite) {
    const Image image = loadCommittedPng("data/textures/particle.png");
    ASSERT_EQ(image.width, 64);
    ASSERT_EQ(image.height, 64);
    ASSERT_EQ(image.channels, 3);
    // Every edge texel is pure white, so nearest filtering with repeat wrapping shows no outline.
    for (int i = 0; i < image.width; ++i) {
        EXPECT_TRUE(isWhite(image.at(i, 0)) && isWhite(image.at(i, image.height - 1)) &&
                    isWhite(image.at(0, i)) && isWhite(image.at(image.width - 1, i)))
            << "edge texel " << i;
    }
    // The darkest texels are the four at the centre, and they are clearly dark.
    int darkest = 0;
    for (int y = 0; y < image.height; ++y) {
        for (int x = 0; x < image.width; ++x) {
            darkest = std::max(darkest, darkness(image.at(x, y)));
        }
    }
    EXPECT_EQ(darkness(image.at(31, 31)), darkest);
    EXPECT_EQ(darkness(image.at(32, 32)), darkest);
    EXPECT_GT(darkest, 3 * 150);
    // Soft: from the centre outward along a row the texels only get lighter.
    for (int x = 33; x < image.width; ++x) {
        EXPECT_LE(darkness(image.at(x, 32)), darkness(image.at(x - 1, 32))) << "x " << x;
    }
}

TEST(ButterflyTexture, IsOneUpsideDownWingWithItsRootOnTheRightEdge) {
    const Image image = loadCommittedPng("data/textures/butterfly.png");
    ASSERT_TRUE(isPowerOfTwo(image.width) && isPowerOfTwo(image.height));
    ASSERT_GE(image.channels, 3);
    int rootInk = 0;
    for (int y = 0; y < image.height; ++y) {
        rootInk += !isWhite(image.at(image.width - 1, y));
        // The wing tip does not touch the left edge (s = 0), where the right wing's mirror
        // image joins through repeat wrapping.
        EXPECT_TRUE(isWhite(image.at(0, y))) << "left edge row " << y;
    }
    // The root runs along a good part of the right edge, the body line.
    EXPECT_GT(rootInk, image.height / 4);
    for (int x = 0; x < image.width; ++x) {
        EXPECT_TRUE(isWhite(image.at(x, 0)) && isWhite(image.at(x, image.height - 1)))
            << "top or bottom edge column " << x;
    }
    // Upside down: the forewing, the larger part seen at the top on screen, fills the
    // bottom half of the file.
    long topInk = 0;
    long bottomInk = 0;
    for (int y = 0; y < image.height; ++y) {
        for (int x = 0; x < image.width; ++x) {
            (y < image.height / 2 ? topInk : bottomInk) += darkness(image.at(x, y));
        }
    }
    EXPECT_GT(bottomInk, topInk * 5 / 4);
    // It is coloured, not grey: somewhere red clearly outweighs blue.
    bool coloured = false;
    for (int y = 0; y < image.height && !coloured; ++y) {
        for (int x = 0; x < image.width && !coloured; ++x) {
            coloured = image.at(x, y)[0] > image.at(x, y)[2] + 100;
        }
    }
    EXPECT_TRUE(coloured);
}

TEST(ContentGenerators, ReproduceEveryCommittedFileByteForByte) {
    std::vector<ContentFile> files;
    std::string error;
    ASSERT_TRUE(makeContentFiles(&files, &error)) << error;
    ASSERT_EQ(files.size(), 5u + std::size(kAppIconSizes));
    for (const ContentFile& file : files) {
        std::vector<std::uint8_t> committed;
        ASSERT_TRUE(readFileBytes(committedPath(file.path), &committed)) << file.path;
        EXPECT_EQ(committed.size(), file.bytes.size()) << file.path;
        EXPECT_TRUE(committed == file.bytes) << file.path << " differs from its generator";
    }
}

TEST(AppIcon, EverySizeIsSquareRgbaWithRoundedCornersAndAnOpaqueMiddle) {
    for (const int size : kAppIconSizes) {
        const std::string folder = std::to_string(size) + "x" + std::to_string(size);
        const Image icon =
            loadCommittedPng("resources/icons/hicolor/" + folder + "/apps/vellomire.png");
        ASSERT_TRUE(icon.width == size && icon.height == size && icon.channels == 4) << size;
        EXPECT_LT(icon.at(0, 0)[3], 32) << size; // the rounded corner
        EXPECT_EQ(icon.at(size / 2, size / 2)[3], 255) << size;
    }
}

TEST(ContentImages, PngEncodingRoundTripsAndRejectsDamagedData) {
    Image image = makeImage(5, 3, 4, 0);
    for (std::size_t i = 0; i < image.pixels.size(); ++i) {
        image.pixels[i] = static_cast<std::uint8_t>(i * 37 + 11);
    }
    std::vector<std::uint8_t> bytes = encodePng(image);
    Image decoded;
    ASSERT_TRUE(decodePng(bytes, &decoded));
    EXPECT_EQ(decoded.width, 5);
    EXPECT_EQ(decoded.height, 3);
    EXPECT_EQ(decoded.channels, 4);
    EXPECT_EQ(decoded.pixels, image.pixels);
    EXPECT_EQ(flipRows(decoded).at(0, 0)[0], image.at(0, 2)[0]);
    bytes.resize(bytes.size() / 2);
    EXPECT_FALSE(decodePng(bytes, &decoded));
    EXPECT_FALSE(decodePng({}, &decoded));
}

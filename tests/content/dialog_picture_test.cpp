#include "tests/content/content_test_support.h"
#include "tools/dialog_picture.h"

namespace {

std::uint32_t readLittleEndian(const std::vector<std::uint8_t>& bytes, std::size_t offset,
                               int count) {
    std::uint32_t value = 0;
    for (int i = count - 1; i >= 0; --i) {
        value = (value << 8) | bytes[offset + i];
    }
    return value;
}

} // namespace

TEST(DialogPicture, IsAnUncompressed24BitBottomUpBmpOf397By174) {
    std::vector<std::uint8_t> bmp;
    ASSERT_TRUE(readFileBytes(committedPath("resources/dialog_picture.bmp"), &bmp));
    ASSERT_GE(bmp.size(), 54u);
    EXPECT_EQ(bmp[0], 'B');
    EXPECT_EQ(bmp[1], 'M');
    const std::uint32_t rowBytes = 1192; // 397 x 3 = 1191, padded to a multiple of 4
    EXPECT_EQ(readLittleEndian(bmp, 2, 4), bmp.size());
    EXPECT_EQ(bmp.size(), 54u + rowBytes * 174);
    EXPECT_EQ(readLittleEndian(bmp, 10, 4), 54u);  // pixel data offset
    EXPECT_EQ(readLittleEndian(bmp, 14, 4), 40u);  // BITMAPINFOHEADER
    EXPECT_EQ(readLittleEndian(bmp, 18, 4), 397u); // width
    EXPECT_EQ(readLittleEndian(bmp, 22, 4), 174u); // height, positive: bottom-up rows
    EXPECT_EQ(readLittleEndian(bmp, 26, 2), 1u);   // planes
    EXPECT_EQ(readLittleEndian(bmp, 28, 2), 24u);  // bits per pixel
    EXPECT_EQ(readLittleEndian(bmp, 30, 4), 0u);   // BI_RGB
    EXPECT_EQ(readLittleEndian(bmp, 34, 4), rowBytes * 174);
    // The padding byte at the end of every row is zero.
    for (std::uint32_t row = 0; row < 174; ++row) {
        EXPECT_EQ(bmp[54 + row * rowBytes + 1191], 0) << "row " << row;
    }
}

TEST(DialogPicture, ShowsTheTitleOverTheShowsBackgroundBetweenBlackBars) {
    Image picture;
    std::string error;
    ASSERT_TRUE(makeDialogPicture(kDialogTitleFont, &picture, &error)) << error;
    ASSERT_EQ(picture.width, 397);
    ASSERT_EQ(picture.height, 174);
    long background = 0, light = 0, darkened = 0;
    for (int y = 0; y < picture.height; ++y) {
        for (int x = 0; x < picture.width; ++x) {
            const std::uint8_t* p = picture.at(x, y);
            if (y < kDialogBarHeight || y >= picture.height - kDialogBarHeight) {
                ASSERT_TRUE(p[0] == 0 && p[1] == 0 && p[2] == 0) << x << ", " << y;
                continue;
            }
            background += p[0] == 217 && p[1] == 110 && p[2] == 0;
            light += p[0] > 240 && p[1] > 220 && p[2] > 200; // the title's letters
            darkened += p[0] < 150 && p[2] == 0;             // particles on the ground
        }
    }
    const long inside = 397L * (174 - 2 * kDialogBarHeight);
    EXPECT_GT(background, inside / 3);
    EXPECT_GT(light, 2000);
    EXPECT_GT(darkened, inside / 50);
}

TEST(DialogPicture, BmpEncodingWritesBottomUpBlueGreenRedRowsPaddedToFourBytes) {
    Image image = makeImage(2, 2, 3, 0);
    const std::uint8_t top[6] = {1, 2, 3, 4, 5, 6};
    const std::uint8_t bottom[6] = {7, 8, 9, 10, 11, 12};
    std::copy_n(top, 6, image.at(0, 0));
    std::copy_n(bottom, 6, image.at(0, 1));
    const std::vector<std::uint8_t> bmp = encodeBmp24(image);
    ASSERT_EQ(bmp.size(), 54u + 2 * 8);
    const std::vector<std::uint8_t> pixels(bmp.begin() + 54, bmp.end());
    const std::vector<std::uint8_t> expected = {9, 8, 7, 12, 11, 10, 0, 0, 3, 2, 1, 6, 5, 4, 0, 0};
    EXPECT_EQ(pixels, expected);
}

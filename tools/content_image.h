#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// An 8-bit image held in memory, rows from the top of the picture down, channels interleaved
// (1 grey, 3 RGB, 4 RGBA).
struct Image {
    int width = 0;
    int height = 0;
    int channels = 0;
    std::vector<std::uint8_t> pixels;

    std::uint8_t* at(int x, int y) {
        return &pixels[(static_cast<std::size_t>(y) * width + x) * channels];
    }
    const std::uint8_t* at(int x, int y) const {
        return &pixels[(static_cast<std::size_t>(y) * width + x) * channels];
    }
};

// An image of the given size with every channel of every pixel set to `fill`.
Image makeImage(int width, int height, int channels, std::uint8_t fill);

// The same image with its rows in the opposite order.
Image flipRows(const Image& image);

// PNG bytes of the image (8 bits per channel, no time stamp or text), the same bytes for the
// same image on every run.
std::vector<std::uint8_t> encodePng(const Image& image);

// Decodes PNG bytes into an 8-bit image, keeping the file's row order. False on bad data.
bool decodePng(const std::vector<std::uint8_t>& bytes, Image* image);

// Whole-file reads and writes. False when the file cannot be opened or fully transferred.
bool readFileBytes(const std::string& path, std::vector<std::uint8_t>* bytes);
bool writeFileBytes(const std::string& path, const std::vector<std::uint8_t>& bytes);

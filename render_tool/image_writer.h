#pragma once
#include <cstdint>
#include <string>
#include <vector>

// An RGB image with its rows bottom-up, as GL reads them.
struct RgbImage {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> rgb;
};

// Writes the image as an upright PNG. Writes to a temporary name beside `path` and renames it
// at the end, so a file at `path` is always complete. False with a message on failure
// (nothing is left behind).
bool writePicturePng(const std::string& path, const RgbImage& image, std::string* error);

// The picture centred in a black frame of frameWidth x frameHeight (at least its own size);
// the picture itself when the sizes are equal.
void placeInFrame(const RgbImage& picture, int frameWidth, int frameHeight, RgbImage* frame);

// The path of frame `index` (from 1) in directory `directory` (ending in /).
std::string framePath(const std::string& directory, int index);

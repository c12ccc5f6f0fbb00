#pragma once
#include <cstdint>
#include <string>
#include <vector>

// Measures of how alike two pictures of the show are and how sharp one is, for pictures drawn
// at different sizes.

// An RGB picture, top row first.
struct RgbPicture {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> rgb;
};

// Reads a PNG file as RGB; false when it cannot.
bool readRgbPng(const std::string& path, RgbPicture* picture);

// Every factor x factor block of pixels averaged into one (the picture's sides divide by it).
RgbPicture boxFilterDown(const RgbPicture& picture, int factor);

// The picture stretched to width x height with bilinear interpolation between pixel centres.
RgbPicture scaleUpBilinear(const RgbPicture& picture, int width, int height);

struct Likeness {
    double meanLevels = 0.0;       // mean absolute difference over every pixel and channel
    double worstBlockLevels = 0.0; // the same over the 16 x 16 block where it is largest
};

// How far apart two pictures of one size are.
Likeness compareLikeness(const RgbPicture& a, const RgbPicture& b);

// The mean absolute Laplacian (4 neighbours) of the grey levels inside the rows
// [firstRow, endRow) counted from the top: the picture's fine detail there. Only pixels whose
// neighbours also lie inside count (not the first and last row or column), so the edges of
// what lies outside (the letterbox bars beside the open band) add nothing.
double meanAbsoluteLaplacian(const RgbPicture& picture, int firstRow, int endRow);

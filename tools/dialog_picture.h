#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "tools/content_image.h"

// The start-up dialog's picture: 397 x 174, the title "vellomire" over a drifting cloud of
// dark soft particles on the show's orange-brown background, between black letterbox bars.
inline constexpr int kDialogPictureWidth = 397;
inline constexpr int kDialogPictureHeight = 174;
inline constexpr const char* kDialogTitle = "vellomire";
inline constexpr const char* kDialogTitleFont =
    "/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf";
// Height of each letterbox bar in pixels.
inline constexpr int kDialogBarHeight = 18;
// The show's background colour.
inline constexpr std::uint8_t kBackgroundRgb[3] = {217, 110, 0};

// The picture as an RGB image, rows from the top.
bool makeDialogPicture(const char* titleFontPath, Image* picture, std::string* error);

// An uncompressed 24-bit Windows BMP of an RGB image: 54-byte header, rows bottom-up in
// blue-green-red order, each padded to a multiple of 4 bytes.
std::vector<std::uint8_t> encodeBmp24(const Image& image);

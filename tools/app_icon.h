#pragma once
#include "tools/content_image.h"

// The program's icon, an RGBA image size x size in the show's look: a rounded square of the
// orange-brown background brightening to a glow in the middle, black letterbox bars above and
// below, and a spiral of the show's dark soft particles across the band between them. Every
// size is the same picture, each pixel averaged from 4 x 4 samples.
inline constexpr int kAppIconSizes[] = {16, 22, 24, 32, 48, 64, 128, 256};
Image makeAppIcon(int size);

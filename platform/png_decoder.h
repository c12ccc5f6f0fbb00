#pragma once
// The PNG decoder under pngBind (platform/png_texture.cpp): libpng over the file's bytes on the
// desktop (png_decoder.cpp), the browser's own image decoder in the web build
// (png_decoder_web.cpp).
#include <vector>

#include "platform/png_texture.h"

// Larger images are refused rather than risk an allocation the machine cannot make.
inline constexpr unsigned kMaxPngSide = 8192;

// Decodes the PNG at `path` to 8-bit RGBA rows, top row first, and fills `info`. False (with
// `rgba` and `info` in no particular state) when it cannot be read or decoded, or either side
// is 0 or over kMaxPngSide.
bool decodePngFile(const char* path, std::vector<unsigned char>* rgba, PngInfo* info);

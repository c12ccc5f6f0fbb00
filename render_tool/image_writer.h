#pragma once
#include <cstdint>
#include <string>
#include <vector>

// Writes an 800 x 600 RGB picture (rows bottom-up, as GL reads them) as an upright PNG.
// Writes to a temporary name beside `path` and renames it at the end, so a file at `path`
// is always complete. False with a message on failure (nothing is left behind).
bool writePicturePng(const std::string& path, const std::vector<std::uint8_t>& rgb,
                     std::string* error);

// The path of frame `index` (from 1) in directory `directory` (ending in /).
std::string framePath(const std::string& directory, int index);

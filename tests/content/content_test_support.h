#pragma once
#include <string>

#include <gtest/gtest.h>

#include "tools/content_image.h"

// Path of a committed file, from the repository root.
inline std::string committedPath(const std::string& relative) {
    std::string path = VELLOMIRE_SOURCE_DIR;
    path.append("/").append(relative);
    return path;
}

// Reads and decodes a committed PNG, failing the test when that is not possible.
inline Image loadCommittedPng(const std::string& relative) {
    std::vector<std::uint8_t> bytes;
    Image image;
    EXPECT_TRUE(readFileBytes(committedPath(relative), &bytes)) << relative;
    EXPECT_TRUE(decodePng(bytes, &image)) << relative;
    return image;
}

inline bool isPowerOfTwo(int n) {
    return n > 0 && (n & (n - 1)) == 0;
}

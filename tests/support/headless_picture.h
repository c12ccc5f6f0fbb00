#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "render/picture_target.h"

// A headless GL context with the 800 x 600 picture target bound and resizeViewport(800, 600)
// applied, made once per test program. Returns false (and the reason) when none can be made.
bool ensureHeadlessPicture(std::string* error = nullptr);

// The picture target of ensureHeadlessPicture.
const PictureTarget& headlessPictureTarget();

// The current picture as RGB bytes, rows bottom-up as GL stores them.
struct Picture {
    std::vector<std::uint8_t> rgb;
    // The pixel at column x and row y counted from the top of the picture.
    const std::uint8_t* at(int x, int yFromTop) const {
        const PictureSize size = pictureSize();
        return &rgb[(static_cast<std::size_t>(size.height - 1 - yFromTop) * size.width + x) * 3];
    }
};
Picture readPicture();

// Skips the current test when no headless context can be made.
#define REQUIRE_HEADLESS_GL()                                                                      \
    do {                                                                                           \
        std::string glError;                                                                       \
        if (!ensureHeadlessPicture(&glError)) {                                                    \
            GTEST_FAIL() << "no headless GL: " << glError;                                         \
        }                                                                                          \
    } while (0)

#include "bench/measures/picture_measures.h"

#include <algorithm>
#include <cmath>
#include <png.h>

bool readRgbPng(const std::string& path, RgbPicture* const picture) {
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (png_image_begin_read_from_file(&image, path.c_str()) == 0) {
        return false;
    }
    image.format = PNG_FORMAT_RGB;
    picture->width = static_cast<int>(image.width);
    picture->height = static_cast<int>(image.height);
    picture->rgb.resize(PNG_IMAGE_SIZE(image));
    if (png_image_finish_read(&image, nullptr, picture->rgb.data(), 0, nullptr) == 0) {
        png_image_free(&image);
        return false;
    }
    return true;
}

static std::size_t pixelIndex(const RgbPicture& p, const int x, const int y) {
    return (static_cast<std::size_t>(y) * static_cast<std::size_t>(p.width) +
            static_cast<std::size_t>(x)) *
           3;
}

RgbPicture boxFilterDown(const RgbPicture& picture, const int factor) {
    RgbPicture small;
    small.width = picture.width / factor;
    small.height = picture.height / factor;
    small.rgb.resize(static_cast<std::size_t>(small.width) * small.height * 3);
    const int count = factor * factor;
    for (int y = 0; y < small.height; ++y) {
        for (int x = 0; x < small.width; ++x) {
            for (int c = 0; c < 3; ++c) {
                int sum = 0;
                for (int dy = 0; dy < factor; ++dy) {
                    for (int dx = 0; dx < factor; ++dx) {
                        sum += picture.rgb[pixelIndex(picture, x * factor + dx, y * factor + dy) +
                                           static_cast<std::size_t>(c)];
                    }
                }
                small.rgb[pixelIndex(small, x, y) + static_cast<std::size_t>(c)] =
                    static_cast<std::uint8_t>((sum + count / 2) / count);
            }
        }
    }
    return small;
}

RgbPicture scaleUpBilinear(const RgbPicture& picture, const int width, const int height) {
    RgbPicture large;
    large.width = width;
    large.height = height;
    large.rgb.resize(static_cast<std::size_t>(width) * height * 3);
    const double sx = static_cast<double>(picture.width) / width;
    const double sy = static_cast<double>(picture.height) / height;
    for (int y = 0; y < height; ++y) {
        const double fy = std::clamp((y + 0.5) * sy - 0.5, 0.0, picture.height - 1.0);
        const int y0 = static_cast<int>(fy);
        const int y1 = std::min(y0 + 1, picture.height - 1);
        const double wy = fy - y0;
        for (int x = 0; x < width; ++x) {
            const double fx = std::clamp((x + 0.5) * sx - 0.5, 0.0, picture.width - 1.0);
            const int x0 = static_cast<int>(fx);
            const int x1 = std::min(x0 + 1, picture.width - 1);
            const double wx = fx - x0;
            for (std::size_t c = 0; c < 3; ++c) {
                const double top = picture.rgb[pixelIndex(picture, x0, y0) + c] * (1.0 - wx) +
                                   picture.rgb[pixelIndex(picture, x1, y0) + c] * wx;
                const double bottom = picture.rgb[pixelIndex(picture, x0, y1) + c] * (1.0 - wx) +
                                      picture.rgb[pixelIndex(picture, x1, y1) + c] * wx;
                large.rgb[pixelIndex(large, x, y) + c] =
                    static_cast<std::uint8_t>(std::lround(top * (1.0 - wy) + bottom * wy));
            }
        }
    }
    return large;
}

Likeness compareLikeness(const RgbPicture& a, const RgbPicture& b) {
    constexpr int kBlock = 16;
    Likeness likeness;
    double total = 0.0;
    for (int by = 0; by < a.height; by += kBlock) {
        for (int bx = 0; bx < a.width; bx += kBlock) {
            double block = 0.0;
            int samples = 0;
            for (int y = by; y < std::min(by + kBlock, a.height); ++y) {
                for (int x = bx; x < std::min(bx + kBlock, a.width); ++x) {
                    for (std::size_t c = 0; c < 3; ++c) {
                        block += std::abs(a.rgb[pixelIndex(a, x, y) + c] -
                                          b.rgb[pixelIndex(b, x, y) + c]);
                        ++samples;
                    }
                }
            }
            total += block;
            likeness.worstBlockLevels = std::max(likeness.worstBlockLevels, block / samples);
        }
    }
    likeness.meanLevels = total / (static_cast<double>(a.width) * a.height * 3);
    return likeness;
}

double meanAbsoluteLaplacian(const RgbPicture& picture, const int firstRow, const int endRow) {
    const auto grey = [&picture](const int x, const int y) {
        const std::size_t i = pixelIndex(picture, x, y);
        return (picture.rgb[i] + picture.rgb[i + 1] + picture.rgb[i + 2]) / 3.0;
    };
    double sum = 0.0;
    long count = 0;
    for (int y = std::max(firstRow, 0) + 1; y < std::min(endRow, picture.height) - 1; ++y) {
        for (int x = 1; x < picture.width - 1; ++x) {
            sum += std::abs(grey(x - 1, y) + grey(x + 1, y) + grey(x, y - 1) + grey(x, y + 1) -
                            4.0 * grey(x, y));
            ++count;
        }
    }
    return count > 0 ? sum / static_cast<double>(count) : 0.0;
}

#include "tools/content_image.h"

#include <png.h>

#include <cstdio>
#include <cstring>

Image makeImage(int width, int height, int channels, std::uint8_t fill) {
    Image image;
    image.width = width;
    image.height = height;
    image.channels = channels;
    image.pixels.assign(static_cast<std::size_t>(width) * height * channels, fill);
    return image;
}

Image flipRows(const Image& image) {
    Image flipped = image;
    const std::size_t rowBytes = static_cast<std::size_t>(image.width) * image.channels;
    for (int y = 0; y < image.height; ++y) {
        std::memcpy(flipped.at(0, y), image.at(0, image.height - 1 - y), rowBytes);
    }
    return flipped;
}

namespace {

int pngColorType(int channels) {
    switch (channels) {
    case 1:
        return PNG_COLOR_TYPE_GRAY;
    case 2:
        return PNG_COLOR_TYPE_GRAY_ALPHA;
    case 3:
        return PNG_COLOR_TYPE_RGB;
    default:
        return PNG_COLOR_TYPE_RGBA;
    }
}

void appendToVector(png_structp png, png_bytep data, png_size_t length) {
    auto* out = static_cast<std::vector<std::uint8_t>*>(png_get_io_ptr(png));
    out->insert(out->end(), data, data + length);
}

void flushNothing(png_structp) {}

struct ByteReader {
    const std::vector<std::uint8_t>* bytes;
    std::size_t offset;
};

void readFromVector(png_structp png, png_bytep data, png_size_t length) {
    auto* reader = static_cast<ByteReader*>(png_get_io_ptr(png));
    if (reader->offset + length > reader->bytes->size()) {
        png_error(png, "truncated PNG data");
    }
    std::memcpy(data, reader->bytes->data() + reader->offset, length);
    reader->offset += length;
}

} // namespace

std::vector<std::uint8_t> encodePng(const Image& image) {
    std::vector<std::uint8_t> out;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    if (!png || !info) {
        png_destroy_write_struct(&png, &info);
        return {};
    }
    std::vector<png_const_bytep> rows(image.height);
    for (int y = 0; y < image.height; ++y) {
        rows[y] = image.at(0, y);
    }
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        return {};
    }
    png_set_write_fn(png, &out, appendToVector, flushNothing);
    png_set_compression_level(png, 9);
    png_set_IHDR(png, info, image.width, image.height, 8, pngColorType(image.channels),
                 PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    png_write_image(png, const_cast<png_bytepp>(rows.data()));
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return out;
}

bool decodePng(const std::vector<std::uint8_t>& bytes, Image* image) {
    if (bytes.size() < 8 || png_sig_cmp(bytes.data(), 0, 8) != 0) {
        return false;
    }
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    if (!png || !info) {
        png_destroy_read_struct(&png, &info, nullptr);
        return false;
    }
    ByteReader reader{&bytes, 0};
    Image decoded;
    std::vector<png_bytep> rows;
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_read_struct(&png, &info, nullptr);
        return false;
    }
    png_set_read_fn(png, &reader, readFromVector);
    png_read_info(png, info);
    png_set_expand(png);
    png_set_strip_16(png);
    png_read_update_info(png, info);
    decoded = makeImage(static_cast<int>(png_get_image_width(png, info)),
                        static_cast<int>(png_get_image_height(png, info)),
                        png_get_channels(png, info), 0);
    rows.resize(decoded.height);
    for (int y = 0; y < decoded.height; ++y) {
        rows[y] = decoded.at(0, y);
    }
    png_read_image(png, rows.data());
    png_read_end(png, nullptr);
    png_destroy_read_struct(&png, &info, nullptr);
    *image = std::move(decoded);
    return true;
}

bool readFileBytes(const std::string& path, std::vector<std::uint8_t>* bytes) {
    FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) {
        return false;
    }
    std::vector<std::uint8_t> data;
    std::uint8_t chunk[65536];
    std::size_t got = 0;
    while ((got = std::fread(chunk, 1, sizeof chunk, file)) > 0) {
        data.insert(data.end(), chunk, chunk + got);
    }
    const bool ok = !std::ferror(file);
    std::fclose(file);
    if (ok) {
        *bytes = std::move(data);
    }
    return ok;
}

bool writeFileBytes(const std::string& path, const std::vector<std::uint8_t>& bytes) {
    FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) {
        return false;
    }
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    const bool closed = std::fclose(file) == 0;
    return written && closed;
}

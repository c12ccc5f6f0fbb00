#pragma once
// PNG files as OpenGL textures: one call decodes a file and binds it as a GL_TEXTURE_2D.

inline constexpr int kPngNoMipmap = 0;      // mipmap mode: none
inline constexpr int kPngBuildMipmaps = -1; // mipmap mode: the whole chain, made by GL
inline constexpr int kPngAlpha = -2;        // transparency mode: the image's own alpha channel

// Filled with the loaded image's properties by pngBind.
struct PngInfo {
    unsigned int width = 0;
    unsigned int height = 0;
    unsigned int depth = 0; // bits per pixel of the source image
    unsigned int alpha = 0; // bits of alpha in the source image
};

// Decodes the PNG at `path`, creates a GL_TEXTURE_2D, sets its wrap mode on s and t and its
// filters, and uploads the image as RGBA with the file's top row at t = 0, with every smaller
// mipmap level for kPngBuildMipmaps (none for kPngNoMipmap). Returns the texture name, or 0
// (creating nothing) when the file cannot be read or decoded.
unsigned int pngBind(const char* path, int mipmapMode, int transparencyMode, PngInfo* info,
                     int wrap, int minFilter, int magFilter);

#pragma once
#include <cstdint>
#include <vector>

// The picture the show draws into: a framebuffer object with an RGBA8 colour buffer and a
// 16-bit depth buffer, at the picture size (800 x 600 unless a host chooses another). The
// show always draws into it; the window (shell) shows it scaled and the render tool and the
// tests read it back.

// A picture size in pixels: 4:3 (width * 3 == height * 4), from 320 x 240 to 3840 x 2880.
struct PictureSize {
    int width = 0;
    int height = 0;
};
inline constexpr PictureSize kDefaultPictureSize{800, 600};
inline constexpr PictureSize kSmallestPictureSize{320, 240};
inline constexpr PictureSize kLargestPictureSize{3840, 2880};

bool isPictureSize(PictureSize size);
bool operator==(PictureSize a, PictureSize b);

// Reads "WxH", two whole numbers of at most five digits each. False for anything else.
bool parseDimensions(const char* text, int* width, int* height);

// Reads "WxH" (a picture size) or a height alone ("1080": 1440 x 1080). False for anything
// else, or a size that is not a picture size.
bool parsePictureSize(const char* text, PictureSize* size);

// The size every pass that counts pixels works at (the target, the viewport, the glow, the
// letterbox rows). Hosts set it before they make the target; a size that is not a picture
// size is refused (false, nothing changes).
bool setPictureSize(PictureSize size);
PictureSize pictureSize();

// The picture's height over 600: how much larger than the 800 x 600 picture it is, the factor
// by which offsets and widths measured in pixels of that picture grow.
float pictureScale();

struct PictureTarget {
    unsigned int framebuffer = 0;
    unsigned int colorBuffer = 0;
    unsigned int depthBuffer = 0;
    PictureSize size;
};

// Creates the target at the picture size in the current GL context and binds it for drawing
// and reading. Returns false (and leaves nothing behind) when the framebuffer is incomplete.
bool createPictureTarget(PictureTarget* target);

// Gives the target's buffers the current picture size (their contents are undefined after);
// false when the framebuffer is then incomplete.
bool resizePictureTarget(PictureTarget* target);

// Binds the target for drawing and reading.
void bindPictureTarget(const PictureTarget& target);

// Deletes the target's GL objects; the context must be current.
void destroyPictureTarget(PictureTarget* target);

// Reads the whole picture as RGB bytes, bottom row first (OpenGL's row order).
void readPictureRgb(const PictureTarget& target, std::vector<std::uint8_t>* rgb);

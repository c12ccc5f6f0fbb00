#pragma once
#include <cstdint>
#include <vector>

// The show's client area: an 800 x 600 framebuffer object with an RGBA8 colour buffer and a
// 16-bit depth buffer. The show always draws into it; the window (shell) shows it scaled and
// the render tool and the tests read it back.
inline constexpr int kPictureWidth = 800;
inline constexpr int kPictureHeight = 600;

struct PictureTarget {
    unsigned int framebuffer = 0;
    unsigned int colorBuffer = 0;
    unsigned int depthBuffer = 0;
};

// Creates the target in the current GL context and binds it for drawing and reading.
// Returns false (and leaves nothing behind) when the framebuffer is incomplete.
bool createPictureTarget(PictureTarget* target);

// Binds the target for drawing and reading.
void bindPictureTarget(const PictureTarget& target);

// Deletes the target's GL objects; the context must be current.
void destroyPictureTarget(PictureTarget* target);

// Reads the whole picture as RGB bytes, bottom row first (OpenGL's row order).
void readPictureRgb(const PictureTarget& target, std::vector<std::uint8_t>* rgb);

#pragma once
// The size the program draws its picture at: 800 x 600 unless --size asks for another, or
// "native": the window's drawable fitted to 4:3, followed through resizes and the full-screen
// switch.
#include "render/picture_target.h"
#include "shell/window_events.h"

struct PictureSizing {
    bool native = false;
    PictureSize fixed = kDefaultPictureSize;
};

// Reads --size's value: "native", "WxH" or a height. False for anything else.
bool parsePictureSizing(const char* text, PictureSizing* sizing);

// The largest picture size inside a drawable of that size; the smallest picture size for a
// drawable smaller than it (it is then shown scaled down).
PictureSize fittedPictureSize(int drawableWidth, int drawableHeight);

// The size a window's picture starts at: the fixed size, or with native sizing the size the
// last window's drawable fitted (800 x 600 before the first).
PictureSize startingPictureSize(const PictureSizing& sizing);

// Before every frame with native sizing: when the window's drawable fits another picture
// size, the picture, the glow's textures and the viewport take it, and the show's textures
// are replaced when their size class changes. A minimised (empty) drawable changes nothing.
void followDrawableSize(const PictureSizing& sizing, RenderWindow* w);

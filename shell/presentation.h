#pragma once
// Shows the show's picture in the window: scaled to fill the drawable while keeping 4:3,
// centred, with black margins.

#include "render/picture_target.h"

struct PresentRect {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
};

// The largest 4:3 rectangle centred in a drawable of the given size, in pixels; empty for an
// empty drawable.
PresentRect letterboxRect(int drawableWidth, int drawableHeight);

// Where a picture of size `picture` is shown in the drawable. Drawn at the window's own size
// (`pixelForPixel`), it is shown pixel for pixel, centred, when it fits; otherwise (a fixed
// picture size, or a drawable smaller than the smallest picture) at letterboxRect, scaled.
PresentRect presentedRect(int drawableWidth, int drawableHeight, PictureSize picture,
                          bool pixelForPixel);

// Copies the picture `picture` into the window's framebuffer 0 at presentedRect, clears the
// margins to black, and binds the picture again for the next frame. GL state the show relies
// on (clear colour, scissor test) is left as it was. With `headsUp`, the heads-up line is drawn
// over the copy's bottom bar.
struct HeadsUp;
void presentPicture(const PictureTarget& picture, int drawableWidth, int drawableHeight,
                    bool pixelForPixel, const HeadsUp* headsUp = nullptr);

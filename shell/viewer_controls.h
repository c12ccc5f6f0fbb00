#pragma once
// The pointer's side of the viewer's controls in the window: where a window point lies on the
// picture, and when the pointer hides.

#include "demo/viewer_input.h"
#include "render/picture_target.h"

// The virtual point under window point (windowX, windowY) of a window measuring windowWidth x
// windowHeight (SDL's pointer coordinates) whose drawable measures drawableWidth x
// drawableHeight pixels and shows a picture of size `picture` as presentedRect places it.
VirtualPoint virtualPointOf(int windowX, int windowY, int windowWidth, int windowHeight,
                            int drawableWidth, int drawableHeight, PictureSize picture,
                            bool pixelForPixel);

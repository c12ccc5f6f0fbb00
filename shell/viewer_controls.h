#pragma once
// The pointer's side of the viewer's controls: where a window point lies on the picture, when
// the heads-up line shows, and scrubbing along its strip.
#include <cstdint>

#include "render/picture_target.h"

// A point on the picture's 640 x 480 virtual screen, y up (the bottom bar is y 0 to 140);
// outside the picture the values run on beyond that range.
struct VirtualPoint {
    float x = 0.0f;
    float y = 0.0f;
};
// The virtual point under window point (windowX, windowY) of a window measuring windowWidth x
// windowHeight (SDL's pointer coordinates) whose drawable measures drawableWidth x
// drawableHeight pixels and shows a picture of size `picture` as presentedRect places it.
VirtualPoint virtualPointOf(int windowX, int windowY, int windowWidth, int windowHeight,
                            int drawableWidth, int drawableHeight, PictureSize picture,
                            bool pixelForPixel);

// The heads-up line shows while H holds it, while the pointer is over the bottom bar (or the
// margin below it) and until kHeadsUpLingerMs after the pointer left it.
inline constexpr std::uint32_t kHeadsUpLingerMs = 2000;
struct HeadsUpVisibility {
    bool held = false;
    bool pointerOver = false;
    bool lingering = false;
    std::uint32_t leftAt = 0;
};
// The pointer now over the bar or not, at `now` (ms).
void notePointerOverBar(HeadsUpVisibility* visibility, bool over, std::uint32_t now);
bool headsUpShown(const HeadsUpVisibility& visibility, std::uint32_t now);
// Whether a point of the virtual screen is over the bottom bar or below it.
bool overBottomBar(VirtualPoint point);

// In full screen the pointer is hidden unless it moved within kPointerShownMs.
inline constexpr std::uint32_t kPointerShownMs = 2000;

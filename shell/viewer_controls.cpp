#include "shell/viewer_controls.h"

#include "shell/presentation.h"

VirtualPoint virtualPointOf(const int windowX, const int windowY, const int windowWidth,
                            const int windowHeight, const int drawableWidth,
                            const int drawableHeight, const PictureSize picture,
                            const bool pixelForPixel) {
    const PresentRect rect = presentedRect(drawableWidth, drawableHeight, picture, pixelForPixel);
    if (windowWidth <= 0 || windowHeight <= 0 || rect.width <= 0 || rect.height <= 0) {
        return VirtualPoint{};
    }
    // Window coordinates to drawable pixels (they differ on high-density screens), then from
    // the top-left origin to the GL's bottom-left one, where the rectangle is placed.
    const float x = (static_cast<float>(windowX) + 0.5f) * static_cast<float>(drawableWidth) /
                    static_cast<float>(windowWidth);
    const float yDown = (static_cast<float>(windowY) + 0.5f) * static_cast<float>(drawableHeight) /
                        static_cast<float>(windowHeight);
    const float yUp = static_cast<float>(drawableHeight) - yDown;
    return VirtualPoint{(x - static_cast<float>(rect.x)) * 640.0f / static_cast<float>(rect.width),
                        (yUp - static_cast<float>(rect.y)) * 480.0f /
                            static_cast<float>(rect.height)};
}

#include "shell/picture_sizing.h"

#include <algorithm>
#include <cstring>

#include "demo/startup.h"
#include "render/glow.h"
#include "render/viewport.h"

bool parsePictureSizing(const char* const text, PictureSizing* const sizing) {
    if (text != nullptr && std::strcmp(text, "native") == 0) {
        sizing->native = true;
        return true;
    }
    PictureSize size;
    if (!parsePictureSize(text, &size)) {
        return false;
    }
    sizing->native = false;
    sizing->fixed = size;
    return true;
}

PictureSize fittedPictureSize(const int drawableWidth, const int drawableHeight) {
    // 4:3 in whole pixels: the height a multiple of 3, the width four thirds of it.
    const int height = std::min(drawableHeight, drawableWidth * 3 / 4) / 3 * 3;
    const int clamped = std::clamp(height, kSmallestPictureSize.height, kLargestPictureSize.height);
    return PictureSize{clamped * 4 / 3, clamped};
}

PictureSize startingPictureSize(const PictureSizing& sizing) {
    return sizing.native ? pictureSize() : sizing.fixed;
}

void followDrawableSize(const PictureSizing& sizing, RenderWindow* const w) {
    if (!sizing.native || w->drawableWidth <= 0 || w->drawableHeight <= 0) {
        return;
    }
    const PictureSize size = fittedPictureSize(w->drawableWidth, w->drawableHeight);
    if (size == pictureSize()) {
        return;
    }
    const PictureSize previous = pictureSize();
    const int textureScale = textureScaleFor(previous.height);
    setPictureSize(size);
    if (!resizePictureTarget(&w->picture)) { // the driver refuses the size: keep the last one
        setPictureSize(previous);
        resizePictureTarget(&w->picture);
        return;
    }
    resizeGlowTextures();
    resizeViewport(size.width, size.height);
    if (textureScaleFor(size.height) != textureScale) {
        replaceTextures(textureScaleFor(size.height));
    }
}

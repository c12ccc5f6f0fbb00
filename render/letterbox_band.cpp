#include "render/letterbox_band.h"

#include <cmath>
#include <cstdint>
#include <vector>

#include "draw/draw.h"
#include "render/picture_target.h"

static bool cullingLetterbox = true;
static bool culledFrameOpen = false;
// The scissor box before beginCulledFrame, put back by endCulledFrame.
static draw::Rect savedScissorBox;

// The band's edges on the overlay's 480 rows.
static constexpr int kOverlayRows = 480;
static constexpr int kBarRows = 140;

PictureRows openPictureRows() {
    const int height = pictureSize().height;
    const int first = height * kBarRows / kOverlayRows;
    return PictureRows{first, height - first};
}

// Half-size rows of margin the culled glow keeps around the open rows.
static int glowHalfMargin() {
    return static_cast<int>(std::ceil(static_cast<float>(kCulledBlurReach) * pictureScale())) + 3;
}

PictureRows sceneRows() {
    const PictureRows open = openPictureRows();
    const int margin = 2 * glowHalfMargin() + 2;
    return PictureRows{open.first - margin, open.end + margin};
}

PictureRows glowHalfRows() {
    const PictureRows open = openPictureRows();
    const int margin = 2 * glowHalfMargin();
    return PictureRows{(open.first - margin) / 2, (open.end + margin) / 2};
}

void setLetterboxCulling(const bool on) {
    cullingLetterbox = on;
}

bool letterboxCulling() {
    return cullingLetterbox;
}

void scissorRows(const PictureRows rows) {
    draw::enableScissor(true);
    draw::scissorBox(draw::Rect{0, rows.first, pictureSize().width, rows.end - rows.first});
}

void disableRowScissor() {
    draw::enableScissor(false);
}

bool beginCulledFrame() {
    if (!cullingLetterbox || draw::scissorEnabled()) {
        return false;
    }
    const draw::Rect viewport = draw::currentViewport();
    const PictureSize size = pictureSize();
    if (viewport.x != 0 || viewport.y != 0 || viewport.width != size.width ||
        viewport.height != size.height) {
        return false; // not the picture the letterbox rows belong to
    }
    savedScissorBox = draw::currentScissorBox();
    culledFrameOpen = true;
    return true;
}

void endCulledFrame(const bool culled) {
    if (culled) {
        disableRowScissor();
        draw::scissorBox(savedScissorBox);
        culledFrameOpen = false;
    }
}

bool inCulledFrame() {
    return culledFrameOpen;
}

// The bars' depth: the middle of the range, 0x8000 of 16 bits, with a step of slack for the
// rounding of either.
static constexpr std::uint16_t kBarDepth = 0x8000 + 1;

// Any depth at or nearer than the bars' in rows [first, end).
static bool anyDepthNearerThanBars(const int first, const int end,
                                   std::vector<std::uint16_t>* const depths) {
    const int width = pictureSize().width;
    depths->resize(static_cast<std::size_t>(width) * static_cast<std::size_t>(end - first));
    draw::readDepthRows(width, first, end - first, depths->data());
    for (const std::uint16_t depth : *depths) {
        if (depth <= kBarDepth) {
            return true;
        }
    }
    return false;
}

// Whether the drawing layer's account of the depth written lets rows [first, end) hold depth
// at or nearer than the bars' (two more steps of slack for the depths it works out in float).
static bool mayBeNearerThanBars(const int first, const int end) {
    return draw::nearestDepthInRows(first, end) * 65535.0f <= kBarDepth + 2.0f;
}

// Rows under the bars that no depth-tested primitive nearer than the bars reached hold depth
// behind them: nothing shows through there. Where one may have, the depth is read back; where
// it cannot be (WebGL 2), those rows are taken as seen and the glow then works on the whole
// picture.
bool sceneShowsThroughBars() {
    const PictureRows open = openPictureRows();
    const int height = pictureSize().height;
    const bool below = mayBeNearerThanBars(0, open.first);
    const bool above = mayBeNearerThanBars(open.end, height);
    if (!below && !above) {
        return false;
    }
    if (!draw::depthReadable()) {
        return true;
    }
    static std::vector<std::uint16_t> depths; // kept between frames: no allocation per frame
    return (below && anyDepthNearerThanBars(0, open.first, &depths)) ||
           (above && anyDepthNearerThanBars(open.end, height, &depths));
}

bool barsHideTheirRows() {
    const PictureRows open = openPictureRows();
    return culledFrameOpen && !mayBeNearerThanBars(0, open.first) &&
           !mayBeNearerThanBars(open.end, pictureSize().height);
}

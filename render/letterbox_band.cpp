#include "render/letterbox_band.h"

#include <cmath>
#include <cstdint>
#include <vector>

#include "platform/gl.h"
#include "render/picture_target.h"

static bool cullingLetterbox = true;
static bool culledFrameOpen = false;
// The scissor box before beginCulledFrame, put back by endCulledFrame.
static GLint savedScissorBox[4] = {};

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
    glEnable(GL_SCISSOR_TEST);
    glScissor(0, rows.first, pictureSize().width, rows.end - rows.first);
}

void disableRowScissor() {
    glDisable(GL_SCISSOR_TEST);
}

bool beginCulledFrame() {
    if (!cullingLetterbox || glIsEnabled(GL_SCISSOR_TEST) == GL_TRUE) {
        return false;
    }
    GLint viewport[4] = {};
    glGetIntegerv(GL_VIEWPORT, viewport);
    const PictureSize size = pictureSize();
    if (viewport[0] != 0 || viewport[1] != 0 || viewport[2] != size.width ||
        viewport[3] != size.height) {
        return false; // not the picture the letterbox rows belong to
    }
    glGetIntegerv(GL_SCISSOR_BOX, savedScissorBox);
    culledFrameOpen = true;
    return true;
}

void endCulledFrame(const bool culled) {
    if (culled) {
        disableRowScissor();
        glScissor(savedScissorBox[0], savedScissorBox[1], savedScissorBox[2], savedScissorBox[3]);
        culledFrameOpen = false;
    }
}

bool inCulledFrame() {
    return culledFrameOpen;
}

// Any depth at or nearer than the bars' (the middle of the range, 0x8000 of 16 bits, with a
// step of slack for the rounding of either) in rows [first, end).
static bool anyDepthNearerThanBars(const int first, const int end,
                                   std::vector<std::uint16_t>* const depths) {
    constexpr std::uint16_t kBarDepth = 0x8000 + 1;
    const int width = pictureSize().width;
    depths->resize(static_cast<std::size_t>(width) * static_cast<std::size_t>(end - first));
    glReadPixels(0, first, width, end - first, GL_DEPTH_COMPONENT, GL_UNSIGNED_SHORT,
                 depths->data());
    for (const std::uint16_t depth : *depths) {
        if (depth <= kBarDepth) {
            return true;
        }
    }
    return false;
}

bool sceneShowsThroughBars() {
    static std::vector<std::uint16_t> depths; // kept between frames: no allocation per frame
    GLint alignment = 4;
    glGetIntegerv(GL_PACK_ALIGNMENT, &alignment);
    glPixelStorei(GL_PACK_ALIGNMENT, 2);
    const PictureRows open = openPictureRows();
    const bool seen = anyDepthNearerThanBars(0, open.first, &depths) ||
                      anyDepthNearerThanBars(open.end, pictureSize().height, &depths);
    glPixelStorei(GL_PACK_ALIGNMENT, alignment);
    return seen;
}

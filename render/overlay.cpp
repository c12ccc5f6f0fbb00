#include "render/overlay.h"

#include "draw/draw.h"
#include "render/letterbox_band.h"
#include "render/picture_target.h"

// The virtual screen and the rows the letterbox leaves open.
static constexpr float kScreenWidth = 640.0f;
static constexpr float kScreenHeight = 480.0f;
static constexpr float kBandTop = 140.0f;
static constexpr float kBandBottom = 340.0f;

void beginOrtho2D() {
    draw::selectMatrix(draw::MatrixStack::Projection);
    draw::pushMatrix();
    draw::loadIdentity();
    draw::multiplyOrtho(0.0f, kScreenWidth, kScreenHeight, 0.0f, -1.0f, 1.0f);
    draw::selectMatrix(draw::MatrixStack::ModelView);
    draw::pushMatrix();
    draw::loadIdentity();
}

void endOrtho2D() {
    draw::selectMatrix(draw::MatrixStack::Projection);
    draw::popMatrix();
    draw::selectMatrix(draw::MatrixStack::ModelView);
    draw::popMatrix();
}

static void drawBar(const float top, const float bottom) {
    draw::begin(draw::Primitive::Quads);
    draw::vertex(0.0f, top);
    draw::vertex(0.0f, bottom);
    draw::vertex(kScreenWidth, bottom);
    draw::vertex(kScreenWidth, top);
    draw::end();
}

// Clears rows [first, end) of the picture to the bars' opaque black.
static void clearRowsBlack(const int first, const int end) {
    if (end > first) {
        draw::scissorBox(draw::Rect{0, first, pictureSize().width, end - first});
        draw::clear();
    }
}

void drawLetterbox() {
    // Where every pixel under the bars takes their black, the rows they cover whole are cleared
    // to it (clears cost far less than drawn quads); the bars themselves are then drawn only
    // over the open rows, where they may cover a row's pixel centres in part. The clear also
    // resets those rows' depth, which nothing reads after the bars.
    const bool clearing =
        !draw::blendingEnabled() && !draw::scissorEnabled() && barsHideTheirRows();
    const draw::Rect scissorBox = draw::currentScissorBox();
    if (clearing) {
        const float* const had = draw::currentClearColor();
        const float clearColor[4] = {had[0], had[1], had[2], had[3]};
        const PictureRows open = openPictureRows();
        draw::enableScissor(true);
        draw::clearColor(0.0f, 0.0f, 0.0f, 1.0f);
        clearRowsBlack(0, open.first);
        clearRowsBlack(open.end, pictureSize().height);
        draw::clearColor(clearColor[0], clearColor[1], clearColor[2], clearColor[3]);
        draw::scissorBox(draw::Rect{0, open.first, pictureSize().width, open.end - open.first});
    }
    beginOrtho2D();
    draw::color(0.0f, 0.0f, 0.0f);
    drawBar(0.0f, kBandTop);
    drawBar(kBandBottom, kScreenHeight);
    draw::color(1.0f, 1.0f, 1.0f);
    endOrtho2D();
    if (clearing) {
        draw::enableScissor(false);
        draw::scissorBox(scissorBox);
    }
}

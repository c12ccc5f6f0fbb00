#include "render/overlay.h"

#include "draw/draw.h"

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

void drawLetterbox() {
    beginOrtho2D();
    draw::color(0.0f, 0.0f, 0.0f);
    drawBar(0.0f, kBandTop);
    drawBar(kBandBottom, kScreenHeight);
    draw::color(1.0f, 1.0f, 1.0f);
    endOrtho2D();
}

#include "render/viewport.h"

#include "draw/draw.h"

void resizeViewport(const int width, const int height) {
    draw::viewport(draw::Rect{0, 0, width, height});
    draw::selectMatrix(draw::MatrixStack::Projection);
    draw::loadIdentity();
    draw::multiplyPerspective(45.0, static_cast<double>(width) / static_cast<double>(height), 1.0,
                              100.0);
    draw::selectMatrix(draw::MatrixStack::ModelView);
    draw::loadIdentity();
}

#include "render/overlay.h"

#include "platform/gl.h"

// The virtual screen and the rows the letterbox leaves open.
static constexpr float kScreenWidth = 640.0f;
static constexpr float kScreenHeight = 480.0f;
static constexpr float kBandTop = 140.0f;
static constexpr float kBandBottom = 340.0f;

void beginOrtho2D() {
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    glOrtho(0.0, kScreenWidth, kScreenHeight, 0.0, -1.0, 1.0);
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
}

void endOrtho2D() {
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
    glPopMatrix();
}

static void drawBar(const float top, const float bottom) {
    glBegin(GL_QUADS);
    glVertex2f(0.0f, top);
    glVertex2f(0.0f, bottom);
    glVertex2f(kScreenWidth, bottom);
    glVertex2f(kScreenWidth, top);
    glEnd();
}

void drawLetterbox() {
    beginOrtho2D();
    glColor3f(0.0f, 0.0f, 0.0f);
    drawBar(0.0f, kBandTop);
    drawBar(kBandBottom, kScreenHeight);
    glColor3f(1.0f, 1.0f, 1.0f);
    endOrtho2D();
}

#include "text/captions.h"

#include "draw/draw.h"
#include "render/letterbox_band.h"
#include "render/overlay.h"
#include "state/music_clock.h"
#include "text/caption_tables.h"
#include "text/font.h"
#include "text/keyframe.h"

// Black-outs and fading captions fade in over one second after start and out over one second
// after end, and are still walked (at alpha 0) until end + 5.
static constexpr float kFadeSeconds = 1.0f;
static constexpr float kLingerSeconds = 5.0f;
static constexpr float kFinalFadeSeconds = 5.0f;

static float fadeAlpha(const float start, const float end, const float t) {
    const float fadeIn = ramp(start, start + kFadeSeconds, t);
    const float fadeOut = ramp(end, end + kFadeSeconds, t);
    return (1.0f - fadeOut) * fadeIn;
}

// The black quad over the whole virtual screen, blended with `alpha`. At alpha 0 it leaves
// every colour as it is and is not drawn (the depth it would write, the bars' own, changes
// nothing the bars draw after it); the state it sets is set all the same. Where the bars will
// hide their rows, it is drawn over the open rows alone.
static void drawBlackScreen(const float alpha) {
    beginOrtho2D();
    draw::enableBlending(true);
    draw::blendFunction(draw::BlendFactor::SrcAlpha, draw::BlendFactor::OneMinusSrcAlpha);
    draw::color(0.0f, 0.0f, 0.0f, alpha);
    if (alpha != 0.0f) {
        const bool openRowsOnly = !draw::scissorEnabled() && barsHideTheirRows();
        if (openRowsOnly) {
            scissorRows(openPictureRows());
        }
        draw::begin(draw::Primitive::Quads);
        draw::vertex(0.0f, 0.0f);
        draw::vertex(0.0f, 480.0f);
        draw::vertex(640.0f, 480.0f);
        draw::vertex(640.0f, 0.0f);
        draw::end();
        if (openRowsOnly) {
            disableRowScissor();
        }
    }
    draw::color(1.0f, 1.0f, 1.0f, 1.0f);
    endOrtho2D();
    draw::enableBlending(false);
}

void drawPlainCaption(const float start, const float end, const int x, const int y,
                      const char* const text) {
    const float t = MusicClock;
    if (!(start < t && t < end)) {
        return;
    }
    draw::enableBlending(true);
    draw::blendFunction(draw::BlendFactor::DstColor, draw::BlendFactor::Zero);
    draw::color(1.0f, 1.0f, 1.0f);
    printText(x, y, text, 0, 1.0f);
    draw::enableBlending(false);
    draw::color(1.0f, 1.0f, 1.0f);
}

void drawFadingCaption(const float start, const float end, const int x, const int y,
                       const char* const text) {
    const float t = MusicClock;
    if (!(start < t && t < end + kLingerSeconds)) {
        return;
    }
    draw::blendFunction(draw::BlendFactor::SrcAlpha, draw::BlendFactor::One);
    draw::enableBlending(true);
    draw::color(1.0f, 1.0f, 1.0f, fadeAlpha(start, end, t));
    printText(x, y, text, 1, 1.0f);
    draw::color(1.0f, 1.0f, 1.0f, 1.0f);
    draw::enableBlending(false);
}

void drawBlackout(const float start, const float end) {
    const float t = MusicClock;
    if (!(start < t && t < end + kLingerSeconds)) {
        return;
    }
    drawBlackScreen(fadeAlpha(start, end, t));
}

void drawFinalFade(const float start) {
    const float t = MusicClock;
    if (!(t > start)) {
        return;
    }
    drawBlackScreen(ramp(start, start + kFinalFadeSeconds, t));
}

void drawOverlayCaptions() {
    for (const OverlayCaption& caption : OverlayCaptionTable) {
        drawPlainCaption(caption.start, caption.end, caption.x, caption.y, caption.text);
    }
}

static void drawBlackoutRow(const BlackoutRow& row) {
    switch (row.step) {
    case BlackoutStep::Blackout:
        drawBlackout(row.start, row.end);
        break;
    case BlackoutStep::FadingCaption:
        drawFadingCaption(row.start, row.end, row.x, row.y, row.text);
        break;
    case BlackoutStep::FinalFade:
        drawFinalFade(row.start);
        break;
    }
}

void drawBlackoutCaptions() {
    for (const BlackoutRow& row : BlackoutTable) {
        drawBlackoutRow(row);
    }
}

#include "demo/heads_up.h"

#include <algorithm>
#include <cstdio>

#include "demo/frame.h"
#include "draw/draw.h"
#include "text/caption_tables.h"
#include "text/font.h"

namespace {

constexpr float kScreenWidth = 640.0f;
constexpr float kScreenHeight = 480.0f;
constexpr int kTextX = 24;
constexpr int kTextY = 84;
constexpr float kTextScale = 0.75f;  // 12 units a glyph: 49 glyphs across the strip
constexpr float kClickReach = 12.0f; // units above and below the strip that still take a click

// The colours of the line, light on the black bar.
struct Shade {
    float r, g, b;
};
constexpr Shade kTextShade = {0.85f, 0.85f, 0.8f};
constexpr Shade kStripShade = {0.12f, 0.12f, 0.12f};
constexpr Shade kRuleShades[2] = {{0.36f, 0.38f, 0.42f}, {0.52f, 0.54f, 0.58f}};
constexpr Shade kBlackoutShade = {0.85f, 0.55f, 0.2f};
constexpr Shade kPlayheadShade = {1.0f, 1.0f, 1.0f};

void fill(const Shade& shade, const float left, const float bottom, const float right,
          const float top) {
    draw::color(shade.r, shade.g, shade.b);
    draw::begin(draw::Primitive::Quads);
    draw::vertex(left, bottom);
    draw::vertex(right, bottom);
    draw::vertex(right, top);
    draw::vertex(left, top);
    draw::end();
}

void drawStrip(const float seconds) {
    fill(kStripShade, kStripLeft, kStripBottom, kStripRight, kStripTop);
    // The rules as segments, a unit apart, in alternating shades.
    int index = 0;
    for (const SceneRule& rule : SceneTimeline) {
        fill(kRuleShades[index++ % 2], stripXOf(rule.start) + 0.5f, kStripBottom + 4.0f,
             std::max(stripXOf(rule.end) - 0.5f, stripXOf(rule.start) + 1.5f), kStripTop - 4.0f);
    }
    // The black-outs as marks under the strip, the final fade running to the end.
    for (const BlackoutRow& row : BlackoutTable) {
        if (row.step == BlackoutStep::FadingCaption) {
            continue;
        }
        const float end = row.step == BlackoutStep::FinalFade ? kShowEnd : row.end;
        fill(kBlackoutShade, stripXOf(row.start), kStripBottom - 6.0f,
             std::max(stripXOf(end), stripXOf(row.start) + 1.0f), kStripBottom - 2.0f);
    }
    const float x = stripXOf(seconds);
    fill(kPlayheadShade, x - 1.0f, kStripBottom - 4.0f, x + 1.0f, kStripTop + 4.0f);
}

} // namespace

std::string headsUpText(const HeadsUp& line) {
    const int clock = std::max(line.clockMs, 0);
    char fps[16];
    if (line.framesPerSecond > 0.0f) {
        std::snprintf(fps, sizeof fps, "%.0f fps", static_cast<double>(line.framesPerSecond));
    } else {
        std::snprintf(fps, sizeof fps, "-- fps");
    }
    char text[160];
    std::snprintf(text, sizeof text, "%d:%02d.%03d  %d %s  %s  %dx%d%s", clock / 60000,
                  clock / 1000 % 60, clock % 1000, line.scene, sceneName(line.scene), fps,
                  line.pictureWidth, line.pictureHeight, line.paused ? "  paused" : "");
    return text;
}

float stripXOf(const float seconds) {
    const float share = std::clamp(seconds / kShowEnd, 0.0f, 1.0f);
    return kStripLeft + share * (kStripRight - kStripLeft);
}

float stripSecondsAt(const float x) {
    const float share = std::clamp((x - kStripLeft) / (kStripRight - kStripLeft), 0.0f, 1.0f);
    return share * kShowEnd;
}

bool onStrip(const float x, const float y) {
    return x >= kStripLeft && x <= kStripRight && y >= kStripBottom - kClickReach &&
           y <= kStripTop + kClickReach;
}

void drawHeadsUp(const HeadsUp& line) {
    const bool blending = draw::blendingEnabled();
    const bool depthTest = draw::depthTestEnabled();
    const bool texturing = draw::texturingEnabled();
    const bool scissor = draw::scissorEnabled();
    const float* const current = draw::currentColor();
    const float colour[4] = {current[0], current[1], current[2], current[3]};

    draw::enableScissor(false);
    draw::enableDepthTest(false);
    draw::enableTexturing(false);
    draw::enableBlending(false);
    draw::selectMatrix(draw::MatrixStack::Projection);
    draw::pushMatrix();
    draw::loadIdentity();
    draw::multiplyOrtho(0.0f, kScreenWidth, 0.0f, kScreenHeight, -1.0f, 1.0f);
    draw::selectMatrix(draw::MatrixStack::ModelView);
    draw::pushMatrix();
    draw::loadIdentity();
    // The bar under the line and the strip is black whatever the frame left there.
    fill({0.0f, 0.0f, 0.0f}, 0.0f, kStripBottom - 12.0f, kScreenWidth,
         static_cast<float>(kTextY) + 16.0f);
    drawStrip(static_cast<float>(line.clockMs) * 0.001f);
    draw::selectMatrix(draw::MatrixStack::Projection);
    draw::popMatrix();
    draw::selectMatrix(draw::MatrixStack::ModelView);
    draw::popMatrix();

    // Light glyphs added onto the black.
    draw::enableBlending(true);
    draw::blendFunction(draw::BlendFactor::SrcAlpha, draw::BlendFactor::One);
    draw::color(kTextShade.r, kTextShade.g, kTextShade.b, 1.0f);
    printText(kTextX, kTextY, headsUpText(line).c_str(), 1, kTextScale);

    draw::color(colour[0], colour[1], colour[2], colour[3]);
    draw::enableBlending(blending);
    draw::enableDepthTest(depthTest);
    draw::enableTexturing(texturing);
    draw::enableScissor(scissor);
}

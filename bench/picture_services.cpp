// Costs of the per-frame picture services on the headless GL context: the glow, the sprites,
// the caption walk and a line of text. Every iteration ends with glFinish so that the figures
// include the drawing, not only the issuing of commands.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>
#include <vector>

#include "bench/bench_gl.h"
#include "demo/music.h"
#include "demo/startup.h"
#include "draw/draw.h"
#include "platform/headless_gl.h"
#include "render/glow.h"
#include "render/overlay.h"
#include "render/picture_target.h"
#include "render/sprite.h"
#include "render/viewport.h"
#include "text/captions.h"
#include "text/font.h"

namespace {

// A white particle and a white font atlas stand in for the data files.
void prepareTextures() {
    makeWhiteTexture(&textureTable[kParticleSlot], 256);
    makeWhiteTexture(&fontTexture, 256);
    buildFont();
}

bool ensureContext() {
    return ensureBenchContext(prepareTextures);
}

void BM_ApplyGlow(benchmark::State& state) {
    if (!ensureContext()) {
        state.SkipWithError("no headless GL");
        return;
    }
    for (auto _ : state) {
        draw::clear();
        applyGlow(2.0f, 1.0f, 2.0f, 1.0f);
        draw::flush();
        glFinish();
    }
}
BENCHMARK(BM_ApplyGlow)->Unit(benchmark::kMillisecond);

// Small sprites (a few pixels across, like the metaball surface) spread over the picture.
void BM_DrawSprites(benchmark::State& state) {
    if (!ensureContext()) {
        state.SkipWithError("no headless GL");
        return;
    }
    const int count = static_cast<int>(state.range(0));
    resizeViewport(pictureSize().width, pictureSize().height);
    for (auto _ : state) {
        draw::clear();
        draw::loadIdentity();
        draw::enableTexturing(true);
        for (int i = 0; i < count; ++i) {
            const float x = static_cast<float>(i % 100) * 0.08f - 4.0f;
            const float y = static_cast<float>(i / 100 % 100) * 0.06f - 3.0f;
            drawSprite(x, y, -8.0f, 0.03f, 4);
        }
        draw::enableTexturing(false);
        draw::flush();
        glFinish();
    }
    state.SetItemsProcessed(state.iterations() * count);
}
BENCHMARK(BM_DrawSprites)->Arg(1000)->Arg(8600)->Unit(benchmark::kMillisecond);

// Both caption lists at a clock with two lines on a black-out, then the letterbox.
void BM_CaptionsAndLetterbox(benchmark::State& state) {
    if (!ensureContext()) {
        state.SkipWithError("no headless GL");
        return;
    }
    MusicClock = static_cast<float>(state.range(0));
    for (auto _ : state) {
        drawOverlayCaptions();
        drawBlackoutCaptions();
        drawLetterbox();
        draw::flush();
        glFinish();
    }
}
BENCHMARK(BM_CaptionsAndLetterbox)->Arg(20)->Arg(110)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();

// Sprites through the drawing layer and the culled frame on the headless GL context: small
// sprites inside the view, sprites across the picture's edge (each of which goes to the GPU in
// object coordinates, in a run of its own), and the glow of a full frame against that of a
// culled one. Every iteration ends with glFinish, so the figures include the drawing.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>
#include <vector>

#include "bench/bench_gl.h"
#include "demo/startup.h"
#include "draw/draw.h"
#include "platform/headless_gl.h"
#include "render/glow.h"
#include "render/letterbox_band.h"
#include "render/picture_target.h"
#include "render/sprite.h"
#include "render/viewport.h"

namespace {

// A white 16 x 16 particle stands in for the data file.
void prepareTextures() {
    makeWhiteTexture(&textureTable[kParticleSlot], 16);
}

bool ensureContext() {
    return ensureBenchContext(prepareTextures);
}

// Sprites at (x, y, -8) of a grid `across` wide and 100 high, `spacing` apart, centred on
// (centreX, 0); the view at that depth spans about +-4.4 by +-3.3.
void drawSpriteGrid(const int count, const int across, const float centreX, const float spacing,
                    const float size) {
    draw::clear();
    draw::loadIdentity();
    draw::enableTexturing(true);
    for (int i = 0; i < count; ++i) {
        const float x = centreX + static_cast<float>(i % across - across / 2) * spacing;
        const float y = static_cast<float>(i / across % 100) * 0.06f - 3.0f;
        drawSprite(x, y, -8.0f, size, 4);
    }
    draw::enableTexturing(false);
    draw::flush();
    glFinish();
}

// 8,600 small sprites inside the view.
void BM_SmallSpritesInside(benchmark::State& state) {
    if (!ensureContext()) {
        state.SkipWithError("no headless GL");
        return;
    }
    for (auto _ : state) {
        drawSpriteGrid(8600, 100, 0.0f, 0.08f, 0.03f);
    }
    state.SetItemsProcessed(state.iterations() * 8600);
}
BENCHMARK(BM_SmallSpritesInside)->Unit(benchmark::kMillisecond);

// 2,000 sprites in columns straddling the left edge, every one crossing it, interleaved with
// as many inside.
void BM_SpritesAcrossTheEdge(benchmark::State& state) {
    if (!ensureContext()) {
        state.SkipWithError("no headless GL");
        return;
    }
    for (auto _ : state) {
        drawSpriteGrid(4000, 2, -4.0f, 0.418f, 0.1f);
    }
    state.SetItemsProcessed(state.iterations() * 4000);
}
BENCHMARK(BM_SpritesAcrossTheEdge)->Unit(benchmark::kMillisecond);

// The glow of the frame; argument 0 over the whole picture, 1 inside a culled frame.
void BM_GlowOfTheFrame(benchmark::State& state) {
    if (!ensureContext()) {
        state.SkipWithError("no headless GL");
        return;
    }
    setLetterboxCulling(state.range(0) == 1);
    for (auto _ : state) {
        draw::clear();
        const bool culled = beginCulledFrame();
        applyGlow(2.0f, 1.0f, 2.0f, 1.0f);
        endCulledFrame(culled);
        draw::flush();
        glFinish();
    }
    setLetterboxCulling(true);
}
BENCHMARK(BM_GlowOfTheFrame)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();

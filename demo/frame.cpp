#include "demo/frame.h"

#include <cstdlib>

#include "demo/music.h"
#include "draw/draw.h"
#include "metaballs/metaball_scene.h"
#include "platform/sound.h"
#include "render/glow.h"
#include "render/letterbox_band.h"
#include "render/overlay.h"
#include "scenes/scenes.h"
#include "text/captions.h"

int CurrentScene = 0;

const SceneRule SceneTimeline[kSceneRuleCount] = {
    {0.0f, 25.0f, 0},     {25.0f, 50.0f, 1},    {50.0f, 73.0f, 2},    {73.0f, 90.0f, 4},
    {90.0f, 106.0f, 3},   {106.0f, 123.0f, 5},  {123.0f, 139.0f, 14}, {139.0f, 156.0f, 6},
    {156.0f, 170.0f, 8},  {171.0f, 190.0f, 15}, {190.0f, 200.0f, 9},  {203.0f, 222.0f, 11},
    {222.0f, 243.0f, 16}, {243.0f, 254.0f, 7},  {254.0f, 260.0f, 17},
};

static void drawKnotCurveScene() {
    drawKnotCurve(4.0f, 6.0f, 3.0f);
}

// The scene table: routine by scene number; 10, 12 and 13 have none.
static constexpr void (*kSceneRoutines[])() = {
    drawRisingCloud,    // 0
    drawWaveSheet,      // 1
    drawParticleTunnel, // 2
    drawLatticeCube,    // 3
    drawSpectrumRings,  // 4
    drawCloudMorph,     // 5
    drawMetaballScene,  // 6
    drawHarmonicShape,  // 7
    drawTriangleSwarm,  // 8
    drawKnotCurveScene, // 9
    nullptr,            // 10
    drawParticleSphere, // 11
    nullptr,            // 12
    nullptr,            // 13
    drawButterfly,      // 14
    drawHelixColumns,   // 15
    drawWobbleTube,     // 16
    drawCentredCloud,   // 17
};
static constexpr int kSceneCount = sizeof(kSceneRoutines) / sizeof(kSceneRoutines[0]);

static void endProcess() {
    std::exit(0);
}

static ShowEndHandler showEndHandler = endProcess;

void setShowEndHandler(const ShowEndHandler handler) {
    showEndHandler = handler != nullptr ? handler : endProcess;
}

void drawScene(const int scene) {
    if (scene >= 0 && scene < kSceneCount && kSceneRoutines[scene] != nullptr) {
        kSceneRoutines[scene]();
    }
}

int chooseScene(const float clock, const int current) {
    int scene = current;
    for (const SceneRule& rule : SceneTimeline) {
        if (rule.start < clock && clock < rule.end) {
            scene = rule.scene;
        }
    }
    return scene;
}

const SceneRule* lastRuleStartedBefore(const float clock) {
    const SceneRule* last = nullptr;
    for (const SceneRule& rule : SceneTimeline) {
        if (rule.start < clock) {
            last = &rule;
        }
    }
    return last;
}

void primeFramesAt(const double seconds, void (*const drawAt)(double seconds)) {
    soundSetSteppedTime(seconds);
    readMusicClock(); // the clock as the frame at `seconds` will read it
    const SceneRule* const rule = lastRuleStartedBefore(MusicClock);
    if (rule != nullptr && chooseScene(MusicClock, CurrentScene) != rule->scene) {
        // A frame one millisecond into the rule chooses its scene; none at `seconds` will.
        drawAt(static_cast<double>(rule->start) + 0.001);
    }
    drawAt(seconds); // the spectrum of that time, for the scene that reads it
}

void drawCurrentScene() {
    drawScene(CurrentScene);
}

void drawFrame() {
    drawFrameUsing(drawCurrentScene);
}

void drawFrameUsing(void (*const drawPicture)()) {
    readMusicClock();
    draw::clear();
    // The rows the letterbox covers are skipped up to the letterbox itself.
    const bool culled = beginCulledFrame();
    drawPicture();
    CurrentScene = chooseScene(MusicClock, CurrentScene);
    applyGlow(2.0f, 1.0f, 2.0f, 1.0f);
    drawOverlayCaptions();
    drawBlackoutCaptions();
    drawLetterbox();
    endCulledFrame(culled);
    draw::flush();
    copySpectrum();
    if (MusicClock > kShowEnd) {
        showEndHandler();
    }
}

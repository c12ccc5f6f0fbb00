#include "demo/frame.h"

#include <cstdlib>

#include "demo/music.h"
#include "draw/draw.h"
#include "metaballs/metaball_scene.h"
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

// The scene table: routine and short name by scene number; 10, 12 and 13 have none.
struct SceneEntry {
    void (*draw)();
    const char* name;
};
static constexpr SceneEntry kScenes[] = {
    {drawRisingCloud, "rising cloud"},       // 0
    {drawWaveSheet, "wave sheet"},           // 1
    {drawParticleTunnel, "particle tunnel"}, // 2
    {drawLatticeCube, "lattice cube"},       // 3
    {drawSpectrumRings, "spectrum rings"},   // 4
    {drawCloudMorph, "cloud morph"},         // 5
    {drawMetaballScene, "metaballs"},        // 6
    {drawHarmonicShape, "harmonic shape"},   // 7
    {drawTriangleSwarm, "triangle swarm"},   // 8
    {drawKnotCurveScene, "knot"},            // 9
    {nullptr, ""},                           // 10
    {drawParticleSphere, "particle sphere"}, // 11
    {nullptr, ""},                           // 12
    {nullptr, ""},                           // 13
    {drawButterfly, "butterfly"},            // 14
    {drawHelixColumns, "helix columns"},     // 15
    {drawWobbleTube, "wobble tube"},         // 16
    {drawCentredCloud, "centred cloud"},     // 17
};
static constexpr int kSceneCount = sizeof(kScenes) / sizeof(kScenes[0]);

static void endProcess() {
    std::exit(0);
}

static ShowEndHandler showEndHandler = endProcess;

void setShowEndHandler(const ShowEndHandler handler) {
    showEndHandler = handler != nullptr ? handler : endProcess;
}

void drawScene(const int scene) {
    if (scene >= 0 && scene < kSceneCount && kScenes[scene].draw != nullptr) {
        kScenes[scene].draw();
    }
}

const char* sceneName(const int scene) {
    return scene >= 0 && scene < kSceneCount ? kScenes[scene].name : "";
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

void primeFrameAt(const double seconds, void (*const placeMusic)(double seconds)) {
    placeMusic(seconds);
    readMusicClock(); // the clock as the frame at `seconds` will read it
    const SceneRule* const rule = lastRuleStartedBefore(MusicClock);
    if (rule != nullptr && chooseScene(MusicClock, CurrentScene) != rule->scene) {
        // A frame one millisecond into the rule chooses its scene; none at `seconds` will.
        placeMusic(static_cast<double>(rule->start) + 0.001);
        drawFrame();
    }
    placeMusic(seconds);
    drawFrame(); // chooses the scene there, with the spectrum of that time
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

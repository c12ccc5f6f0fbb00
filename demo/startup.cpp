#include "demo/startup.h"

#include "demo/music.h"
#include "metaballs/metaball_scene.h"
#include "platform/data_root.h"
#include "platform/gl.h"
#include "platform/png_texture.h"
#include "render/glow.h"
#include "scenes/scenes.h"
#include "text/font.h"

ObjModel torusModel;

// Shared by every texture load; written by pngBind and read by nothing.
static PngInfo textureInfo;

void startDemo() {
    loadTextures();
    loadModel();
    initGlState();
    buildFont();
    scatterCloudPoints();
    scatterSmallCloudPoints();
    scatterSphereDirections();
    resetMetaballs();
    startMusic();
    activateSpectrum();
}

void loadTextures() {
    textureTable[kParticleSlot] = loadTexture(dataPath("data/textures/particle.png").c_str());
    textureTable[kButterflySlot] = loadTexture(dataPath("data/textures/butterfly.png").c_str());
    fontTexture = loadTexture(dataPath("data/textures/font.png").c_str());
}

unsigned int loadTexture(const char* const path) {
    return pngBind(path, kPngNoMipmap, kPngAlpha, &textureInfo, GL_REPEAT, GL_NEAREST, GL_NEAREST);
}

void loadModel() {
    loadObjModel(&torusModel, dataPath("data/3d/torus.obj").c_str());
}

void initGlState() {
    glShadeModel(GL_SMOOTH);
    glClearColor(0.85f, 0.43f, 0.0f, 0.0f);
    glClearDepth(1.0);
    glEnable(GL_DEPTH_TEST);
    glDepthFunc(GL_LEQUAL);
    glHint(GL_PERSPECTIVE_CORRECTION_HINT, GL_NICEST);
    createGlowTextures();
}

#include "demo/startup.h"

#include <cstdio>
#include <set>
#include <string>

#include "demo/music.h"
#include "draw/draw.h"
#include "metaballs/metaball_scene.h"
#include "platform/data_root.h"
#include "platform/gl.h"
#include "platform/png_texture.h"
#include "render/glow.h"
#include "render/picture_target.h"
#include "scenes/scenes.h"
#include "text/font.h"

ObjModel torusModel;

// Shared by every texture load; written by pngBind and read by nothing.
static PngInfo textureInfo;

void startDemo() {
    loadTextures(textureScaleFor(pictureSize().height));
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

int textureScaleFor(const int pictureHeight) {
    return pictureHeight <= 600 ? 1 : pictureHeight <= 1200 ? 2 : 4;
}

// The loaded textures: each file's name below data/textures/, the slot that holds it, and how
// its larger files are drawn: whether every picture above 800 x 600 takes the 4x file, the
// wrapping and the filters.
//   Glyphs are drawn larger than their cells (16 texels to 20 pixels of the 800 x 600
// picture): the 2x atlas would still be magnified and blur, the 4x one is minified and keeps
// the glyphs' edges sharp.
//   The particle and the butterfly fill most of the show's pixels: at the nearest texel, as at
// 800 x 600, their cost grows with the pixels alone, and at twice or four times the texels
// they are sharp. Only the glyphs are filtered (and mipmapped): linearly, a quad's border
// would blend in the texels of the opposite edge if the texture repeated, so the font is
// clamped at its edges. The butterfly's second wing is the first one repeated backwards, so
// its texture repeats.
struct ShowTexture {
    const char* name;
    unsigned int* slot;
    bool largestAbove800x600;
    int wrap;
    int minFilter;
    int magFilter;
};
static const ShowTexture kShowTextures[] = {
    {"particle", &textureTable[kParticleSlot], false, GL_CLAMP_TO_EDGE, GL_NEAREST, GL_NEAREST},
    {"butterfly", &textureTable[kButterflySlot], false, GL_REPEAT, GL_NEAREST, GL_NEAREST},
    {"font", &fontTexture, true, GL_CLAMP_TO_EDGE, GL_LINEAR_MIPMAP_LINEAR, GL_LINEAR},
};

// The texture at `scale`, or its 1x one when the larger file cannot be loaded. A larger file
// that fails is named once per run (start-ups after F1 and size changes load it again); the 1x
// file is said to stand in only when it loads (the data folder's check names it otherwise).
static unsigned int loadScaledTexture(const ShowTexture& texture, const int scale) {
    const std::string base = std::string("data/textures/") + texture.name;
    std::string failed; // the larger file, when it could not be loaded
    if (scale > 1) {
        const std::string path = dataPath((base + "-" + std::to_string(scale) + "x.png").c_str());
        const bool mipmapped = texture.minFilter != GL_NEAREST && texture.minFilter != GL_LINEAR;
        const unsigned int loaded =
            pngBind(path.c_str(), mipmapped ? kPngBuildMipmaps : kPngNoMipmap, kPngAlpha,
                    &textureInfo, texture.wrap, texture.minFilter, texture.magFilter);
        if (loaded != 0) {
            return loaded;
        }
        failed = path;
    }
    const unsigned int loaded = loadTexture(dataPath((base + ".png").c_str()).c_str());
    static std::set<std::string> reported;
    if (!failed.empty() && reported.insert(failed).second) {
        std::fprintf(stderr, "cannot load %s%s\n", failed.c_str(),
                     loaded != 0 ? "; the 1x texture is used" : "");
    }
    return loaded;
}

void loadTextures(const int scale) {
    for (const ShowTexture& texture : kShowTextures) {
        const int fileScale = texture.largestAbove800x600 && scale > 1 ? 4 : scale;
        *texture.slot = loadScaledTexture(texture, fileScale);
    }
}

void replaceTextures(const int scale) {
    for (const ShowTexture& texture : kShowTextures) {
        glDeleteTextures(1, texture.slot); // the name 0 is ignored
    }
    loadTextures(scale);
}

unsigned int loadTexture(const char* const path) {
    return pngBind(path, kPngNoMipmap, kPngAlpha, &textureInfo, GL_REPEAT, GL_NEAREST, GL_NEAREST);
}

void loadModel() {
    loadObjModel(&torusModel, dataPath("data/3d/torus.obj").c_str());
}

void initGlState() {
    draw::clearColor(0.85f, 0.43f, 0.0f, 0.0f);
    draw::enableDepthTest(true);
    draw::depthFunction(draw::DepthFunction::LessOrEqual);
    createGlowTextures();
}

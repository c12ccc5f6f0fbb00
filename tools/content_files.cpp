#include "tools/content_files.h"

#include "tools/app_icon.h"
#include "tools/dialog_picture.h"
#include "tools/font_atlas.h"
#include "tools/textures.h"
#include "tools/torus_model.h"

bool makeContentFiles(std::vector<ContentFile>* files, std::string* error) {
    std::vector<ContentFile> made;
    for (const int scale : kTextureScales) {
        const std::string suffix = scale == 1 ? ".png" : "-" + std::to_string(scale) + "x.png";
        made.push_back({"data/textures/particle" + suffix, encodePng(makeParticleImage(scale))});
        made.push_back({"data/textures/butterfly" + suffix, encodePng(makeButterflyImage(scale))});
        Image atlas;
        if (!makeFontAtlas(kFontAtlasFont, scale, &atlas, error)) {
            return false;
        }
        made.push_back({"data/textures/font" + suffix, encodePng(atlas)});
    }
    const std::string torus = makeTorusObj();
    made.push_back({"data/3d/torus.obj", std::vector<std::uint8_t>(torus.begin(), torus.end())});
    Image picture;
    if (!makeDialogPicture(kDialogTitleFont, &picture, error)) {
        return false;
    }
    made.push_back({"resources/dialog_picture.bmp", encodeBmp24(picture)});
    for (const int size : kAppIconSizes) {
        const std::string folder = std::to_string(size) + "x" + std::to_string(size);
        made.push_back({"resources/icons/hicolor/" + folder + "/apps/vellomire.png",
                        encodePng(makeAppIcon(size))});
    }
    *files = std::move(made);
    return true;
}

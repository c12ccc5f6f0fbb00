#include "tests/support/headless_picture.h"

#include <string>

#include "draw/draw.h"
#include "platform/gl.h"
#include "platform/headless_gl.h"
#include "render/viewport.h"

static HeadlessGl* headlessGl = nullptr;
static PictureTarget headlessTarget;
static std::string headlessError;

bool ensureHeadlessPicture(std::string* const error) {
    if (headlessGl == nullptr && headlessError.empty()) {
        headlessGl = createHeadlessGl(&headlessError);
        if (headlessGl != nullptr && !draw::openDrawing(&headlessError)) {
            destroyHeadlessGl(headlessGl);
            headlessGl = nullptr;
        }
        if (headlessGl != nullptr && !createPictureTarget(&headlessTarget)) {
            headlessError = "the picture target is incomplete";
            destroyHeadlessGl(headlessGl);
            headlessGl = nullptr;
        }
        if (headlessGl != nullptr) {
            resizeViewport(pictureSize().width, pictureSize().height);
        }
    }
    if (error != nullptr) {
        *error = headlessError;
    }
    return headlessGl != nullptr;
}

const PictureTarget& headlessPictureTarget() {
    return headlessTarget;
}

Picture readPicture() {
    Picture picture;
    readPictureRgb(headlessTarget, &picture.rgb);
    return picture;
}

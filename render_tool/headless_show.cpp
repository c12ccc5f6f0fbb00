#include "render_tool/headless_show.h"

#include <cmath>
#include <string>

#include "demo/frame.h"
#include "demo/heads_up.h"
#include "demo/music.h"
#include "demo/startup.h"
#include "draw/draw.h"
#include "platform/gl.h"
#include "platform/headless_gl.h"
#include "platform/sound.h"
#include "render/picture_target.h"
#include "render/viewport.h"

static HeadlessGl* showGl = nullptr;
static PictureTarget showTarget;
static bool showEnded = false;
static bool showChecksGl = false;
static unsigned int showGlError = 0;
static const char* showGlErrorPass = "";

static void recordShowEnd() {
    showEnded = true;
}

bool openHeadlessShow(const bool checkGlErrors, std::string* const error) {
    showGl = createHeadlessGl(error);
    if (showGl == nullptr) {
        return false;
    }
    if (!draw::openDrawing(error)) {
        destroyHeadlessGl(showGl);
        showGl = nullptr;
        return false;
    }
    if (!createPictureTarget(&showTarget)) {
        *error = "the GL driver cannot make the " + std::to_string(pictureSize().width) + " x " +
                 std::to_string(pictureSize().height) + " picture target";
        draw::closeDrawing();
        destroyHeadlessGl(showGl);
        showGl = nullptr;
        return false;
    }
    showChecksGl = checkGlErrors;
    draw::checkErrors(checkGlErrors);
    resizeViewport(pictureSize().width, pictureSize().height);
    setShowEndHandler(recordShowEnd);
    // The stepped output holds from here on: the start-up's request for the device is refused.
    soundSetOutput(kSoundOutputStepped);
    soundSetSteppedTime(0.0);
    startDemo();
    return true;
}

void closeHeadlessShow() {
    if (showGl != nullptr) {
        destroyPictureTarget(&showTarget);
        draw::closeDrawing();
        destroyHeadlessGl(showGl);
        showGl = nullptr;
    }
    setShowEndHandler(nullptr);
}

bool drawShowFrame(const double seconds) {
    soundSetSteppedTime(seconds);
    drawFrame();
    if (showChecksGl) {
        showGlError = draw::takeFirstError(&showGlErrorPass);
        if (showGlError == GL_NO_ERROR) {
            showGlError = glGetError();
            showGlErrorPass = "the frame";
        }
        if (showGlError != GL_NO_ERROR) {
            return false;
        }
    }
    return !showEnded;
}

void primeShowAt(const double seconds) {
    primeFrameAt(seconds, soundSetSteppedTime);
}

void drawShowHeadsUp(const float framesPerSecond) {
    HeadsUp line;
    line.clockMs = static_cast<int>(std::lround(MusicClock * 1000.0));
    line.scene = CurrentScene;
    line.framesPerSecond = framesPerSecond;
    line.pictureWidth = pictureSize().width;
    line.pictureHeight = pictureSize().height;
    drawHeadsUp(line);
    draw::flush();
}

void readShowPicture(std::vector<std::uint8_t>* const rgb) {
    readPictureRgb(showTarget, rgb);
}

void finishShowFrame() {
    draw::flush();
    glFinish();
}

unsigned int lastShowGlError() {
    return showGlError;
}

const char* lastShowGlErrorPass() {
    return showGlErrorPass;
}

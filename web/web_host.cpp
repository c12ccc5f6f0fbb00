// The show's host in a web page: a WebGL 2 context on the page's canvas, the animation-frame
// loop, the keys and the full-screen switch. The page (web/page.js) loads the data, decodes
// the track and the pictures, and calls the entry points below.
#include <emscripten/emscripten.h>
#include <emscripten/html5.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "demo/frame.h"
#include "demo/heads_up.h"
#include "demo/music.h"
#include "demo/show_controls.h"
#include "demo/startup.h"
#include "demo/viewer_input.h"
#include "draw/draw.h"
#include "platform/gl.h"
#include "platform/sound.h"
#include "render/glow.h"
#include "render/picture_target.h"
#include "render/viewport.h"
#include "web/web_keys.h"

namespace {

constexpr const char* kCanvas = "#canvas";

struct WebShow {
    EMSCRIPTEN_WEBGL_CONTEXT_HANDLE context = 0;
    PictureTarget picture;
    ShowKeys keys;
    bool running = false;         // the animation-frame loop is on
    bool followsCanvas = true;    // the picture takes the canvas's size (not for single frames)
    bool ended = false;           // the frame routine passed the show's end
    double fullScreenLeft = -1.0; // when the page last left full screen (ms, page clock)
    bool quitWanted = false;      // Escape acted in this turn
    // The viewer's controls: the heads-up line and scrubbing along its strip, the pointer's
    // turn since the last frame, where the picture lies on the canvas (x, y, width, height in
    // canvas pixels, y up) and when the pointer last moved (for hiding it in full screen).
    HeadsUpVisibility headsUp;
    bool headsUpOn = false;
    StripScrub scrub;
    PointerTurn pointer;
    int shownRect[4] = {0, 0, 1, 1};
    double pointerMovedAt = -1.0e9;
    bool pointerHidden = false;
    FrameRate frameRate;
};

WebShow show;

// The page hears how the show ended: "quit" (Escape) or "end" (past the show's end).
EM_JS(void, tellPageShowEnded, (const char* how), {
    if (Module['onShowEnded']) {
        Module['onShowEnded'](UTF8ToString(how));
    }
});

// The canvas's size in device pixels, from its size in CSS pixels.
void drawableSize(int* const width, int* const height) {
    double cssWidth = 0.0;
    double cssHeight = 0.0;
    emscripten_get_element_css_size(kCanvas, &cssWidth, &cssHeight);
    const double ratio = emscripten_get_device_pixel_ratio();
    *width = std::max(1, static_cast<int>(std::lround(cssWidth * ratio)));
    *height = std::max(1, static_cast<int>(std::lround(cssHeight * ratio)));
}

// The largest 4:3 picture inside the drawable, in whole pixels, within the picture sizes.
PictureSize fittedSize(const int width, const int height) {
    const int rows = std::min(height, width * 3 / 4) / 3 * 3;
    const int clamped = std::clamp(rows, kSmallestPictureSize.height, kLargestPictureSize.height);
    return PictureSize{clamped * 4 / 3, clamped};
}

// Before a frame: the canvas takes its drawable size, and the picture the largest 4:3 size
// within it (the glow's textures, the viewport and the show's textures following). True when
// the canvas changed.
bool followCanvas() {
    int width = 0;
    int height = 0;
    drawableSize(&width, &height);
    int canvasWidth = 0;
    int canvasHeight = 0;
    emscripten_get_canvas_element_size(kCanvas, &canvasWidth, &canvasHeight);
    if (canvasWidth == width && canvasHeight == height) {
        return false;
    }
    emscripten_set_canvas_element_size(kCanvas, width, height);
    const PictureSize size = fittedSize(width, height);
    if (size == pictureSize()) {
        return true;
    }
    const PictureSize previous = pictureSize();
    const int textureScale = textureScaleFor(previous.height);
    setPictureSize(size);
    if (!resizePictureTarget(&show.picture)) {
        setPictureSize(previous);
        resizePictureTarget(&show.picture);
        return true;
    }
    resizeGlowTextures();
    resizeViewport(size.width, size.height);
    if (textureScaleFor(size.height) != textureScale) {
        replaceTextures(textureScaleFor(size.height));
    }
    return true;
}

// The picture, centred on black in the canvas at its own size or scaled to fit, with the
// heads-up line over the bottom bar of the canvas's copy when `headsUp` is given.
void presentPicture(const HeadsUp* const headsUp = nullptr) {
    int width = 0;
    int height = 0;
    emscripten_get_canvas_element_size(kCanvas, &width, &height);
    const PictureSize size = pictureSize();
    const double scale = std::min(static_cast<double>(width) / size.width,
                                  static_cast<double>(height) / size.height);
    const int shownWidth = std::clamp(static_cast<int>(std::lround(size.width * scale)), 1, width);
    const int shownHeight =
        std::clamp(static_cast<int>(std::lround(size.height * scale)), 1, height);
    const int x = (width - shownWidth) / 2;
    const int y = (height - shownHeight) / 2;
    draw::flush();
    // The GL state the drawing layer set is put back afterwards, as it left it.
    GLfloat clearColor[4];
    glGetFloatv(GL_COLOR_CLEAR_VALUE, clearColor);
    GLint viewport[4];
    glGetIntegerv(GL_VIEWPORT, viewport);
    const GLboolean scissor = glIsEnabled(GL_SCISSOR_TEST);
    glDisable(GL_SCISSOR_TEST);
    glBindFramebuffer(GL_DRAW_FRAMEBUFFER, 0);
    glViewport(0, 0, width, height);
    glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    glBindFramebuffer(GL_READ_FRAMEBUFFER, show.picture.framebuffer);
    glBlitFramebuffer(0, 0, size.width, size.height, x, y, x + shownWidth, y + shownHeight,
                      GL_COLOR_BUFFER_BIT, GL_LINEAR);
    const int canvasY = height - y - shownHeight; // the page's y runs down
    show.shownRect[0] = x;
    show.shownRect[1] = canvasY;
    show.shownRect[2] = shownWidth;
    show.shownRect[3] = shownHeight;
    if (headsUp != nullptr) {
        draw::viewport(draw::Rect{x, y, shownWidth, shownHeight});
        drawHeadsUp(*headsUp);
        draw::flush();
    }
    glClearColor(clearColor[0], clearColor[1], clearColor[2], clearColor[3]);
    glViewport(viewport[0], viewport[1], viewport[2], viewport[3]);
    if (scissor == GL_TRUE) {
        glEnable(GL_SCISSOR_TEST);
    }
    bindPictureTarget(show.picture);
}

void recordShowEnd() {
    show.ended = true;
}

// Stops the loop and the sound and lets the context go; the page shows what comes next.
void finishShow(const char* const how) {
    show.running = false;
    show.keys = ShowKeys{};
    resetMusic();
    if (emscripten_is_webgl_context_lost(show.context) == EM_FALSE) {
        destroyPictureTarget(&show.picture);
        draw::closeDrawing();
    }
    emscripten_webgl_destroy_context(show.context);
    show.context = 0;
    if (emscripten_get_fullscreen_status(nullptr) == EMSCRIPTEN_RESULT_SUCCESS) {
        emscripten_exit_fullscreen();
    }
    tellPageShowEnded(how);
}

bool inFullScreen() {
    EmscriptenFullscreenChangeEvent status;
    return emscripten_get_fullscreen_status(&status) == EMSCRIPTEN_RESULT_SUCCESS &&
           status.isFullscreen == EM_TRUE;
}

void switchFullScreen() {
    if (inFullScreen()) {
        emscripten_exit_fullscreen();
        return;
    }
    EmscriptenFullscreenStrategy strategy{};
    strategy.scaleMode = EMSCRIPTEN_FULLSCREEN_SCALE_DEFAULT;
    strategy.canvasResolutionScaleMode = EMSCRIPTEN_FULLSCREEN_CANVAS_SCALE_NONE;
    strategy.filteringMode = EMSCRIPTEN_FULLSCREEN_FILTERING_DEFAULT;
    // From a key's handler: the browser takes it as the user's gesture.
    emscripten_request_fullscreen_strategy(kCanvas, EM_TRUE, &strategy);
}

// What a key of the show does in the page's frame routine. F1 acts in its own key handler,
// where the browser allows the switch to full screen.
void perform(const KeyBinding& binding) {
    if (performShowCommand(binding, kShowControlActions, seekMusic)) {
        return;
    }
    if (binding.command == KeyCommand::Quit) {
        show.quitWanted = true;
    } else if (binding.command == KeyCommand::ToggleHeadsUp) {
        show.headsUp.held = !show.headsUp.held;
    }
}

// The page's clock in whole milliseconds, as the heads-up line's timing takes it.
std::uint32_t nowMs() {
    return static_cast<std::uint32_t>(emscripten_get_now());
}

// The pointer's turn: the heads-up line and scrubbing follow it; in full screen it hides when
// it rests.
void pollPointer(const std::uint32_t now) {
    followPointer(show.pointer, now, kShowControlActions, &show.headsUp, &show.scrub);
    show.pointer.moved = false;
    show.pointer.pressed = false;
    show.pointer.released = false;
    const bool hidden =
        inFullScreen() && emscripten_get_now() - show.pointerMovedAt > kPointerShownMs;
    if (hidden != show.pointerHidden) {
        show.pointerHidden = hidden;
        EM_ASM({ document.querySelector(UTF8ToString($0)).style.cursor = $1 ? 'none' : 'auto'; },
               kCanvas, hidden ? 1 : 0);
    }
}

// One animation frame: the keys and the pointer, then a frame of the show while it plays or
// when its clock has moved; paused, the held picture again when the canvas or the heads-up
// line needs it, else nothing (the canvas keeps what it shows).
EM_BOOL runFrame(double, void*) {
    if (!show.running) {
        return EM_FALSE;
    }
    show.quitWanted = false;
    pollShowKeys(&show.keys, perform);
    if (show.quitWanted) {
        finishShow("quit");
        return EM_FALSE;
    }
    const std::uint32_t now = nowMs();
    emscripten_webgl_make_context_current(show.context);
    pollPointer(now);
    const bool resized = followCanvas();
    const bool due = takeShowFrameDue() || (showPaused() && resized);
    const bool headsUp = headsUpShown(show.headsUp, now);
    if (!showPaused() || due) {
        drawFrame();
        countFrame(&show.frameRate, now, !showPaused());
    } else if (headsUp == show.headsUpOn) {
        return EM_TRUE;
    }
    const HeadsUp line = currentHeadsUp(show.frameRate, pictureSize());
    presentPicture(headsUp ? &line : nullptr);
    show.headsUpOn = headsUp;
    if (show.ended) {
        finishShow("end");
        return EM_FALSE;
    }
    return EM_TRUE;
}

EM_BOOL onKey(const int type, const EmscriptenKeyboardEvent* const event, void*) {
    if (!show.running) {
        return EM_FALSE;
    }
    const bool down = type == EMSCRIPTEN_EVENT_KEYDOWN;
    const bool modifier =
        event->altKey == EM_TRUE || event->ctrlKey == EM_TRUE || event->metaKey == EM_TRUE;
    ShowKey key;
    if (down && event->repeat == EM_FALSE && webKeyFor(event->key, &key) && !modifier) {
        if (key == ShowKey::F1) {
            switchFullScreen();
        } else if (key == ShowKey::Escape &&
                   (inFullScreen() || emscripten_get_now() - show.fullScreenLeft < 250.0)) {
            // This Escape leaves full screen (where the browser has not done so itself); the
            // next one ends the show.
            if (inFullScreen()) {
                emscripten_exit_fullscreen();
            }
            return EM_TRUE;
        }
    }
    return handleWebKey(&show.keys, event->key, down, event->repeat == EM_TRUE, modifier)
               ? EM_TRUE
               : EM_FALSE;
}

EM_BOOL onFullScreenChange(int, const EmscriptenFullscreenChangeEvent* const event, void*) {
    if (event->isFullscreen == EM_FALSE) {
        show.fullScreenLeft = emscripten_get_now();
    }
    return EM_FALSE;
}

EM_BOOL onBlur(int, const EmscriptenFocusEvent*, void*) {
    releaseShowKeys(&show.keys);
    return EM_FALSE;
}

// Where a point of the page (CSS pixels from the canvas's top-left) lies on the picture's
// virtual screen.
VirtualPoint virtualPointAt(const double cssX, const double cssY) {
    double cssWidth = 0.0;
    double cssHeight = 0.0;
    emscripten_get_element_css_size(kCanvas, &cssWidth, &cssHeight);
    int width = 0;
    int height = 0;
    emscripten_get_canvas_element_size(kCanvas, &width, &height);
    if (cssWidth <= 0.0 || cssHeight <= 0.0) {
        return VirtualPoint{};
    }
    const double x = (cssX + 0.5) * width / cssWidth - show.shownRect[0];
    const double y = (cssY + 0.5) * height / cssHeight - show.shownRect[1];
    return VirtualPoint{static_cast<float>(x * 640.0 / show.shownRect[2]),
                        static_cast<float>((show.shownRect[3] - y) * 480.0 / show.shownRect[3])};
}

// The pointer at a page point: it moved there, pressed (`press` 1) or released (-1).
void notePointer(const double cssX, const double cssY, const bool inside, const int press) {
    show.pointer.point = virtualPointAt(cssX, cssY);
    show.pointer.inside = inside;
    show.pointer.moved = true;
    show.pointer.pressed = show.pointer.pressed || press > 0;
    show.pointer.released = show.pointer.released || press < 0;
    show.pointerMovedAt = emscripten_get_now();
}

EM_BOOL onMouse(const int type, const EmscriptenMouseEvent* const event, void*) {
    if (!show.running || event->button != 0) {
        return EM_FALSE;
    }
    const int press = type == EMSCRIPTEN_EVENT_MOUSEDOWN ? 1
                      : type == EMSCRIPTEN_EVENT_MOUSEUP ? -1
                                                         : 0;
    notePointer(event->targetX, event->targetY, type != EMSCRIPTEN_EVENT_MOUSELEAVE, press);
    return EM_FALSE;
}

// A finger on the canvas acts as the mouse's button: it presses where it touches, drags and
// releases where it lifts (the heads-up line then lingers as after the mouse left).
EM_BOOL onTouch(const int type, const EmscriptenTouchEvent* const event, void*) {
    if (!show.running || event->numTouches < 1) {
        return EM_FALSE;
    }
    const EmscriptenTouchPoint& touch = event->touches[0];
    const bool lifted = type == EMSCRIPTEN_EVENT_TOUCHEND || type == EMSCRIPTEN_EVENT_TOUCHCANCEL;
    const int press = type == EMSCRIPTEN_EVENT_TOUCHSTART ? 1 : lifted ? -1 : 0;
    notePointer(touch.targetX, touch.targetY, !lifted, press);
    return EM_TRUE; // no scrolling, and no mouse events made up from the touch
}

// A WebGL 2 context on the canvas, current, with the picture target and the show started.
bool openShow(const bool keepDrawing) {
    EmscriptenWebGLContextAttributes attributes;
    emscripten_webgl_init_context_attributes(&attributes);
    attributes.majorVersion = 2;
    attributes.minorVersion = 0;
    attributes.alpha = EM_FALSE;
    attributes.depth = EM_FALSE; // the picture target has its own
    attributes.stencil = EM_FALSE;
    attributes.antialias = EM_FALSE;
    attributes.preserveDrawingBuffer = keepDrawing ? EM_TRUE : EM_FALSE;
    show.context = emscripten_webgl_create_context(kCanvas, &attributes);
    if (show.context <= 0) {
        return false;
    }
    emscripten_webgl_make_context_current(show.context);
    std::string error;
    if (!draw::openDrawing(&error)) {
        std::fprintf(stderr, "vellomire: %s\n", error.c_str());
        emscripten_webgl_destroy_context(show.context);
        show.context = 0;
        return false;
    }
    if (!createPictureTarget(&show.picture)) {
        draw::closeDrawing();
        emscripten_webgl_destroy_context(show.context);
        show.context = 0;
        return false;
    }
    resizeViewport(pictureSize().width, pictureSize().height);
    show.ended = false;
    setShowEndHandler(recordShowEnd);
    startDemo();
    return true;
}

} // namespace

// After "OK": the show from its start, with the music, in the page or in full screen. False
// when the browser gives no WebGL 2 context.
extern "C" EMSCRIPTEN_KEEPALIVE bool webStartShow(const bool fullScreen) {
    if (show.running) {
        return true;
    }
    int width = 0;
    int height = 0;
    drawableSize(&width, &height);
    emscripten_set_canvas_element_size(kCanvas, width, height);
    setPictureSize(fittedSize(width, height));
    if (!openShow(false)) {
        return false;
    }
    show.followsCanvas = true;
    show.keys = ShowKeys{};
    show.headsUp = HeadsUpVisibility{};
    show.headsUpOn = false;
    show.scrub = StripScrub{};
    show.pointer = PointerTurn{};
    show.frameRate = FrameRate{};
    resetShowControls();
    emscripten_set_keydown_callback(EMSCRIPTEN_EVENT_TARGET_WINDOW, nullptr, EM_FALSE, onKey);
    emscripten_set_keyup_callback(EMSCRIPTEN_EVENT_TARGET_WINDOW, nullptr, EM_FALSE, onKey);
    emscripten_set_blur_callback(EMSCRIPTEN_EVENT_TARGET_WINDOW, nullptr, EM_FALSE, onBlur);
    emscripten_set_fullscreenchange_callback(EMSCRIPTEN_EVENT_TARGET_DOCUMENT, nullptr, EM_FALSE,
                                             onFullScreenChange);
    emscripten_set_mousedown_callback(kCanvas, nullptr, EM_FALSE, onMouse);
    emscripten_set_mouseup_callback(kCanvas, nullptr, EM_FALSE, onMouse);
    emscripten_set_mousemove_callback(kCanvas, nullptr, EM_FALSE, onMouse);
    emscripten_set_mouseleave_callback(kCanvas, nullptr, EM_FALSE, onMouse);
    emscripten_set_touchstart_callback(kCanvas, nullptr, EM_FALSE, onTouch);
    emscripten_set_touchmove_callback(kCanvas, nullptr, EM_FALSE, onTouch);
    emscripten_set_touchend_callback(kCanvas, nullptr, EM_FALSE, onTouch);
    emscripten_set_touchcancel_callback(kCanvas, nullptr, EM_FALSE, onTouch);
    if (fullScreen) {
        switchFullScreen(); // the click on "OK" is the gesture, deferred to its handler
    }
    show.running = true;
    emscripten_request_animation_frame_loop(runFrame, nullptr);
    return true;
}

// Single frames on request: the show at a `width` x `height` picture (4:3) on a canvas of that
// size, its clock stepped by the page. False without WebGL 2 or for a size that is not a
// picture size.
extern "C" EMSCRIPTEN_KEEPALIVE bool webOpenFrames(const int width, const int height) {
    if (!setPictureSize(PictureSize{width, height})) {
        return false;
    }
    emscripten_set_canvas_element_size(kCanvas, width, height);
    // The stepped output holds from here on: the start-up's request for the device is refused.
    soundSetOutput(kSoundOutputStepped);
    soundSetSteppedTime(0.0);
    show.followsCanvas = false;
    return openShow(true);
}

// Ends single frames: the context and what the show made in it go.
extern "C" EMSCRIPTEN_KEEPALIVE void webCloseFrames() {
    if (show.context == 0) {
        return;
    }
    emscripten_webgl_make_context_current(show.context);
    destroyPictureTarget(&show.picture);
    draw::closeDrawing();
    emscripten_webgl_destroy_context(show.context);
    show.context = 0;
}

// Draws the frame the render tool draws at `seconds` (after the same priming) and shows it on
// the canvas. False once the show has ended.
extern "C" EMSCRIPTEN_KEEPALIVE bool webDrawFrameAt(const double seconds) {
    primeFrameAt(seconds, soundSetSteppedTime);
    drawFrame();
    presentPicture();
    return !show.ended;
}

// The bench: `frames` frames of the timeline's rule `rule` at clocks spread over its interval,
// each timed from the start of the frame to the finished picture (a one-pixel read-back waits
// for it). Returns the median in milliseconds.
extern "C" EMSCRIPTEN_KEEPALIVE double webBenchRule(const int rule, const int frames) {
    if (rule < 0 || rule >= kSceneRuleCount || frames < 1) {
        return 0.0;
    }
    const SceneRule& timed = SceneTimeline[rule];
    const auto clockOf = [&](const int i) {
        return timed.start + (timed.end - timed.start) * (i + 0.5) / frames;
    };
    soundSetSteppedTime(clockOf(0));
    drawFrame(); // lets the timeline choose the scene
    std::vector<double> times;
    unsigned char pixel[4];
    for (int i = 0; i < frames; ++i) {
        const double start = emscripten_get_now();
        soundSetSteppedTime(clockOf(i));
        drawFrame();
        draw::flush();
        glReadPixels(0, 0, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, pixel);
        times.push_back(emscripten_get_now() - start);
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

// The scene the timeline's rule `rule` plays, and the number of rules.
extern "C" EMSCRIPTEN_KEEPALIVE int webRuleScene(const int rule) {
    return rule >= 0 && rule < kSceneRuleCount ? SceneTimeline[rule].scene : -1;
}
extern "C" EMSCRIPTEN_KEEPALIVE int webRuleCount() {
    return kSceneRuleCount;
}

// The picture of the last frame as RGBA bytes, top row first (for the page's tests).
extern "C" EMSCRIPTEN_KEEPALIVE const unsigned char* webReadPicture() {
    static std::vector<unsigned char> rgba;
    const PictureSize size = pictureSize();
    const std::size_t row = static_cast<std::size_t>(size.width) * 4;
    std::vector<unsigned char> bottomUp(row * size.height);
    draw::flush();
    glBindFramebuffer(GL_READ_FRAMEBUFFER, show.picture.framebuffer);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, size.width, size.height, GL_RGBA, GL_UNSIGNED_BYTE, bottomUp.data());
    rgba.resize(bottomUp.size());
    for (int y = 0; y < size.height; ++y) {
        std::copy_n(bottomUp.data() + row * (size.height - 1 - y), row, rgba.data() + row * y);
    }
    bindPictureTarget(show.picture);
    return rgba.data();
}

// The picture's width in pixels (its height is three quarters of it).
extern "C" EMSCRIPTEN_KEEPALIVE int webPictureWidth() {
    return pictureSize().width;
}

// The show's clock in whole milliseconds now (paused, where it holds), and whether the
// heads-up line is shown (for the page's tests).
extern "C" EMSCRIPTEN_KEEPALIVE int webShowClockMs() {
    return showClockMs();
}
extern "C" EMSCRIPTEN_KEEPALIVE bool webHeadsUpShown() {
    return show.headsUpOn;
}

// The show's clock in seconds, as the last frame read it.
extern "C" EMSCRIPTEN_KEEPALIVE double webMusicClock() {
    return MusicClock;
}

// The show's window without a display: SDL events to what the keys do in each frame, the
// window's own events, and where the picture goes in it.
#include <gtest/gtest.h>

#include <vector>

#include "shell/demo_hooks.h"
#include "shell/picture_sizing.h"
#include "shell/presentation.h"
#include "shell/viewer_controls.h"

namespace {

constexpr Uint32 kWindowId = 7;
std::vector<float> seeks;

SDL_Event down(const SDL_Keycode sym, const Uint16 mod = KMOD_NONE,
               const Uint32 type = SDL_KEYDOWN) {
    SDL_Event event{};
    event.key = {type, 0, kWindowId, 0, 0, 0, 0, {SDL_GetScancodeFromKey(sym), sym, mod, 0}};
    return event;
}
SDL_Event up(const SDL_Keycode sym, const Uint16 mod = KMOD_NONE) {
    return down(sym, mod, SDL_KEYUP);
}
SDL_Event windowEvent(const Uint8 what, const Uint32 windowId = kWindowId) {
    SDL_Event event{};
    event.window = {SDL_WINDOWEVENT, 0, windowId, what, 0, 0, 0, 0, 0};
    return event;
}

class Window : public ::testing::Test {
  protected:
    void SetUp() override {
        record.windowId = kWindowId;
        activeWindow = &record;
        keepRunning = 1;
        fullScreenWanted = 0;
        seeks.clear();
        setMusicSeeker([](const float milliseconds) { seeks.push_back(milliseconds); });
    }
    void TearDown() override { setMusicSeeker(nullptr); }
    // keepRunning, fullScreenWanted and whether the window ends.
    std::vector<int> ending() {
        const bool finished = windowFinished(&record);
        return {keepRunning, fullScreenWanted, finished ? 1 : 0};
    }

    RenderWindow record;
};

} // namespace

TEST_F(Window, KeysActInTheirOrderInEveryFrameWhileHeldAndOnceWhenTapped) {
    const struct {
        std::vector<SDL_Event> events; // before the frame
        std::vector<float> seeks;
        std::vector<int> ending = {1, 0, 0};
    } frames[] = {
        // Held, with keys the show does not use: Left, Right, Up, Down in this order, every frame.
        {{down(SDLK_DOWN), down(SDLK_UP), down(SDLK_p), down(SDLK_RIGHT), down(SDLK_LEFT),
          down(SDLK_F10), down(SDLK_AUDIOPLAY), down(SDLK_KP_8, KMOD_NUM)},
         {-500, 500, 5000, -5000}},
        {{}, {-500, 500, 5000, -5000}},
        // Keys with Alt held do nothing.
        {{up(SDLK_DOWN), up(SDLK_UP), up(SDLK_RIGHT), up(SDLK_LEFT), down(SDLK_LEFT, KMOD_LALT)},
         {}},
        // Tapped between two frames: once. The keypad's arrows with NumLock off.
        {{down(SDLK_KP_4), up(SDLK_KP_4), down(SDLK_KP_8, KMOD_CAPS), down(SDLK_KP_2)},
         {-500, 5000, -5000}},
        {{up(SDLK_KP_8), up(SDLK_KP_2)}, {}},
        // A release clears its key whatever the modifiers say by then: Alt pressed while Right
        // is held, NumLock switched on while the keypad's 6 is held; losing the focus (as
        // Alt+Tab does) releases every key.
        {{down(SDLK_RIGHT), down(SDLK_LALT, KMOD_LALT)}, {500}},
        {{up(SDLK_RIGHT, KMOD_LALT), up(SDLK_LALT)}, {}},
        {{down(SDLK_KP_6), down(SDLK_NUMLOCKCLEAR, KMOD_NUM)}, {500}},
        {{up(SDLK_KP_6, KMOD_NUM)}, {}},
        {{down(SDLK_RIGHT), down(SDLK_DOWN)}, {500, -5000}},
        {{windowEvent(SDL_WINDOWEVENT_FOCUS_LOST)}, {}},
        // Escape's quit comes before F1's switch, so the loop quits without switching.
        {{down(SDLK_F1), up(SDLK_F1), down(SDLK_ESCAPE), up(SDLK_ESCAPE)}, {}, {0, 0, 1}},
    };
    for (const auto& frame : frames) {
        seeks.clear();
        for (const SDL_Event& event : frame.events) {
            handleEvent(&record, event, 0, 0);
        }
        demoUpdate(16);
        EXPECT_EQ(seeks, frame.seeks) << "frame " << &frame - frames;
        EXPECT_EQ(ending(), frame.ending) << "frame " << &frame - frames;
    }
}

TEST_F(Window, WindowEventsSetSizeAndVisibilityCloseQuitsAndTheToggleEndsOnlyTheWindow) {
    for (const int wanted : {1, 0}) {
        requestFullScreenToggle(&record);
        EXPECT_EQ(ending(), std::vector<int>({1, wanted, 1}));
    }
    SDL_Event quit{};
    quit.type = SDL_QUIT;
    const struct {
        SDL_Event event;        // the drawable being 1000 x 500
        std::vector<int> state; // visible, drawable width and height, keepRunning, window ends
    } steps[] = {
        {windowEvent(SDL_WINDOWEVENT_SIZE_CHANGED), {1, 1000, 500, 1, 0}},
        {windowEvent(SDL_WINDOWEVENT_MINIMIZED), {0, 1000, 500, 1, 0}},
        {windowEvent(SDL_WINDOWEVENT_MAXIMIZED), {1, 1000, 500, 1, 0}},
        {windowEvent(SDL_WINDOWEVENT_MINIMIZED), {0, 1000, 500, 1, 0}},
        {windowEvent(SDL_WINDOWEVENT_RESTORED), {1, 1000, 500, 1, 0}},
        {windowEvent(SDL_WINDOWEVENT_CLOSE, kWindowId + 1), {1, 1000, 500, 1, 0}},
        {down(SDLK_F4, KMOD_LALT), {1, 1000, 500, 0, 1}},
        {windowEvent(SDL_WINDOWEVENT_CLOSE), {1, 1000, 500, 0, 1}},
        {quit, {1, 1000, 500, 0, 1}},
    };
    for (const auto& step : steps) {
        keepRunning = 1;
        handleEvent(&record, step.event, 1000, 500);
        const bool finished = windowFinished(&record);
        EXPECT_EQ(std::vector<int>({record.visible, record.drawableWidth, record.drawableHeight,
                                    keepRunning, finished ? 1 : 0}),
                  step.state)
            << "step " << &step - steps;
    }
}

// A picture of a fixed size fills the drawable at 4:3, centred; one drawn at the window's own
// size (4:3 in whole pixels, within the sizes a picture may have) is shown pixel for pixel,
// centred, unless the drawable is smaller than the smallest picture.
TEST(Presentation, AFixedPictureFillsTheDrawableAndANativeOneIsShownPixelForPixel) {
    const struct {
        int width, height;
        std::vector<int> fixed;  // the 800 x 600 picture, scaled
        std::vector<int> native; // the picture fitted to the drawable
    } cases[] = {
        {800, 600, {0, 0, 800, 600}, {0, 0, 800, 600}},
        {1280, 1024, {0, 32, 1280, 960}, {0, 32, 1280, 960}},
        {1920, 1080, {240, 0, 1440, 1080}, {240, 0, 1440, 1080}},
        {1000, 500, {166, 0, 667, 500}, {168, 1, 664, 498}},
        {1280, 800, {106, 0, 1067, 800}, {108, 1, 1064, 798}},
        {1366, 768, {171, 0, 1024, 768}, {171, 0, 1024, 768}},
        {1001, 751, {0, 0, 1001, 751}, {0, 0, 1000, 750}},
        {9000, 9000, {0, 1125, 9000, 6750}, {2580, 3060, 3840, 2880}},
        {600, 1000, {0, 275, 600, 450}, {0, 275, 600, 450}},
        {300, 200, {16, 0, 267, 200}, {16, 0, 267, 200}},
        {1, 1, {0, 0, 1, 1}, {0, 0, 1, 1}},
        {0, 600, {0, 0, 0, 0}, {0, 0, 0, 0}},
    };
    for (const auto& c : cases) {
        for (const bool native : {false, true}) {
            const PictureSize picture =
                native ? fittedPictureSize(c.width, c.height) : kDefaultPictureSize;
            EXPECT_TRUE(isPictureSize(picture)) << c.width << "x" << c.height;
            const PresentRect r = presentedRect(c.width, c.height, picture, native);
            EXPECT_EQ(std::vector<int>({r.x, r.y, r.width, r.height}), native ? c.native : c.fixed)
                << c.width << "x" << c.height << (native ? " native" : " fixed");
        }
    }
    EXPECT_TRUE(fittedPictureSize(300, 200) == PictureSize({320, 240}));
    PictureSizing sizing;
    EXPECT_TRUE(parsePictureSizing("native", &sizing) && sizing.native);
    EXPECT_TRUE(parsePictureSizing("1080", &sizing) && !sizing.native &&
                sizing.fixed == PictureSize({1440, 1080}));
    EXPECT_FALSE(parsePictureSizing("Native", &sizing));
    EXPECT_TRUE(startingPictureSize(sizing) == PictureSize({1440, 1080}));
}

namespace {
std::vector<int> controlCalls; // 1 pause, 10 + frames for a step, 20 next, 21 previous, 22 start
}

// The viewer's keys act once for every tap, in the order of the taps (the toggles not for the
// keyboard's repeats); the pointer over the bottom bar shows the heads-up line until 2 s after
// it leaves; a press on the strip seeks and holds the show until the button is released.
TEST_F(Window, ViewerKeysActForEveryTapAndThePointerShowsTheLineAndScrubs) {
    static bool paused = false;
    static const ShowControlActions recorder = {
        [] { controlCalls.push_back(1); },
        [](const int frames) { controlCalls.push_back(10 + frames); },
        [] { controlCalls.push_back(20); },
        [] { controlCalls.push_back(21); },
        [] { controlCalls.push_back(22); },
        [](const int ms) { controlCalls.push_back(1000 + ms / 1000); },
        [] { return paused; },
        [](const bool p) { paused = p; }};
    setShowControlActions(&recorder);
    resetViewerControls();
    SDL_Event repeat = down(SDLK_SPACE);
    repeat.key.repeat = 1;
    for (const SDL_Event& event : {down(SDLK_PERIOD), up(SDLK_PERIOD), down(SDLK_PERIOD),
                                   down(SDLK_SPACE), repeat, down(SDLK_COMMA), down(SDLK_PAGEDOWN),
                                   down(SDLK_KP_9), down(SDLK_HOME), down(SDLK_KP_3, KMOD_NUM)}) {
        handleEvent(&record, event, 800, 600);
    }
    controlCalls.clear();
    demoUpdate(16);
    EXPECT_EQ(controlCalls, std::vector<int>({11, 11, 1, 9, 20, 21, 22})); // as tapped
    // The pointer in an 800 x 600 window: over the picture, then the bar, then a press on the
    // strip's middle, a drag to its left end, the release.
    record.drawableWidth = 800;
    record.drawableHeight = 600;
    SDL_Event motion{};
    motion.motion = {SDL_MOUSEMOTION, 0, kWindowId, 0, 0, 400, 300, 0, 0};
    SDL_Event press{};
    press.button = {SDL_MOUSEBUTTONDOWN, 0, kWindowId, 0, SDL_BUTTON_LEFT, 1, 1, 0, 400, 535};
    SDL_Event drag = motion; // to the window's left edge, the button held
    drag.motion.x = 0;
    drag.motion.y = 535;
    SDL_Event release = press;
    release.button.type = SDL_MOUSEBUTTONUP;
    release.button.x = 0;
    const struct {
        std::vector<SDL_Event> events;
        std::vector<int> calls;
        bool shown, pausedAfter;
    } turns[] = {{{motion}, {}, false, false},
                 {{press}, {1143}, true, true},
                 {{}, {}, true, true},
                 {{drag, release}, {1000}, true, false}};
    for (const auto& turn : turns) {
        controlCalls.clear();
        for (const SDL_Event& event : turn.events) {
            handleEvent(&record, event, 800, 600);
        }
        demoUpdate(16);
        EXPECT_EQ(controlCalls, turn.calls) << "turn " << &turn - turns;
        EXPECT_EQ(headsUpWanted(), turn.shown) << "turn " << &turn - turns;
        EXPECT_EQ(paused, turn.pausedAfter) << "turn " << &turn - turns;
    }
    HeadsUpVisibility visibility;
    notePointerOverBar(&visibility, true, 1000);
    notePointerOverBar(&visibility, false, 5000);
    EXPECT_TRUE(headsUpShown(visibility, 6999));
    EXPECT_FALSE(headsUpShown(visibility, 7000));
    visibility.held = true;
    EXPECT_TRUE(headsUpShown(visibility, 90000));
    setShowControlActions(nullptr);
}

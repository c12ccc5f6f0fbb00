// The show's window without a display: SDL events through the window procedure to what the
// keys do in each frame, the window's own messages, and where the picture goes in it.
#include <gtest/gtest.h>

#include <vector>

#include "shell/demo_hooks.h"
#include "shell/presentation.h"
#include "shell/sdl_events.h"

namespace {

constexpr Uint32 kWindowId = 7;
std::vector<float> seeks;

SDL_Event down(const SDL_Keycode sym, const Uint16 mod = KMOD_NONE,
               const Uint32 type = SDL_KEYDOWN) {
    SDL_Event event{};
    event.key = {type, 0, kWindowId, 0, 0, 0, 0, {SDL_GetScancodeFromKey(sym), sym, mod, 0}};
    return event;
}
SDL_Event up(const SDL_Keycode sym) {
    return down(sym, KMOD_NONE, SDL_KEYUP);
}
SDL_Event windowEvent(const Uint8 what, const Uint32 windowId = kWindowId) {
    SDL_Event event{};
    event.window = {SDL_WINDOWEVENT, 0, windowId, what, 0, 0, 0, 0, 0};
    return event;
}

class Window : public ::testing::Test {
  protected:
    void SetUp() override {
        static char storage;
        record.keyFlags = &keys;
        record.window = reinterpret_cast<WindowHandle>(&storage);
        activeWindow = &record;
        activeKeys = &keys;
        keepRunning = 1;
        fullScreenWanted = 0;
        seeks.clear();
        setMusicSeeker([](const float milliseconds) { seeks.push_back(milliseconds); });
        CreateStruct create{&record};
        renderWindowProc(record.window, WM_CREATE, 0, reinterpret_cast<LPARAM>(&create));
    }
    void TearDown() override {
        setMusicSeeker(nullptr);
        discardMessages(record.window);
        setWindowUserData(record.window, nullptr);
    }
    // Hands `event` to the window procedure as the shell's event pump does.
    void feed(const SDL_Event& event) {
        Message m;
        if (translateEvent(event, EventTarget{record.window, kWindowId, 1000, 500}, &m)) {
            renderWindowProc(m.window, m.message, m.wParam, m.lParam);
        }
    }
    std::vector<unsigned> posted() {
        std::vector<unsigned> messages;
        for (Message message; peekMessage(&message, record.window);) {
            messages.push_back(message.message);
        }
        return messages;
    }

    KeyState keys{};
    RenderWindow record;
};

} // namespace

TEST_F(Window, KeysActInTheirOrderInEveryFrameWhileHeldAndOnceWhenTapped) {
    const struct {
        std::vector<SDL_Event> events; // before the frame
        std::vector<float> seeks;
        std::vector<unsigned> posted;
    } frames[] = {
        // Held, with keys the show does not use (P is not F1, whose code is that of p): Left,
        // Right, Up, Down in this order, every frame.
        {{down(SDLK_DOWN), down(SDLK_UP), down(SDLK_p), down(SDLK_RIGHT), down(SDLK_LEFT),
          down(SDLK_F10), down(SDLK_AUDIOPLAY), down(SDLK_KP_8, KMOD_NUM)},
         {-500, 500, 5000, -5000},
         {}},
        {{}, {-500, 500, 5000, -5000}, {}},
        {{up(SDLK_DOWN), up(SDLK_UP), up(SDLK_RIGHT), up(SDLK_LEFT)}, {}, {}},
        // Tapped between two frames: once. The keypad's arrows with NumLock off.
        {{down(SDLK_KP_4), up(SDLK_KP_4), down(SDLK_KP_8, KMOD_CAPS), down(SDLK_KP_2)},
         {-500, 5000, -5000},
         {}},
        {{up(SDLK_KP_8), up(SDLK_KP_2)}, {}, {}},
        // Escape's quit comes before F1's switch, so the loop quits first.
        {{down(SDLK_F1), up(SDLK_F1), down(SDLK_ESCAPE), up(SDLK_ESCAPE)},
         {},
         {WM_QUIT, MSG_FLIP_FULLSCREEN}},
    };
    for (const auto& frame : frames) {
        seeks.clear();
        for (const SDL_Event& event : frame.events) {
            feed(event);
        }
        demoUpdate(16);
        EXPECT_EQ(seeks, frame.seeks) << "frame " << &frame - frames;
        EXPECT_EQ(posted(), frame.posted) << "frame " << &frame - frames;
    }
    Message message;
    ASSERT_TRUE(translateEvent(down(SDLK_F10), EventTarget{record.window, kWindowId}, &message));
    EXPECT_EQ(message.message, WM_SYSKEYDOWN) << "F10 is a system key, as with Alt held";
}

TEST_F(Window, WindowEventsSetSizeAndVisibilityCloseQuitsAndTheToggleEndsOnlyTheWindow) {
    for (const int wanted : {1, 0}) {
        renderWindowProc(record.window, MSG_FLIP_FULLSCREEN, 0, 0);
        EXPECT_EQ(fullScreenWanted, wanted);
        EXPECT_EQ(posted(), std::vector<unsigned>{WM_QUIT});
        EXPECT_EQ(keepRunning, 1);
    }
    SDL_Event quit{};
    quit.type = SDL_QUIT;
    const struct {
        SDL_Event event;        // the drawable being 1000 x 500
        std::vector<int> state; // visible, drawable width and height, keepRunning
        std::vector<unsigned> posted;
    } steps[] = {
        {windowEvent(SDL_WINDOWEVENT_SIZE_CHANGED), {1, 1000, 500, 1}, {}},
        {windowEvent(SDL_WINDOWEVENT_MINIMIZED), {0, 1000, 500, 1}, {}},
        {windowEvent(SDL_WINDOWEVENT_MAXIMIZED), {1, 1000, 500, 1}, {}},
        {windowEvent(SDL_WINDOWEVENT_MINIMIZED), {0, 1000, 500, 1}, {}},
        {windowEvent(SDL_WINDOWEVENT_RESTORED), {1, 1000, 500, 1}, {}},
        {windowEvent(SDL_WINDOWEVENT_CLOSE, kWindowId + 1), {1, 1000, 500, 1}, {}},
        {down(SDLK_F4, KMOD_LALT), {1, 1000, 500, 1}, {WM_CLOSE}},
        {windowEvent(SDL_WINDOWEVENT_CLOSE), {1, 1000, 500, 0}, {WM_QUIT}},
        {quit, {1, 1000, 500, 0}, {WM_QUIT}},
    };
    for (const auto& step : steps) {
        feed(step.event);
        EXPECT_EQ(std::vector<int>(
                      {record.visible, record.drawableWidth, record.drawableHeight, keepRunning}),
                  step.state)
            << "step " << &step - steps;
        EXPECT_EQ(posted(), step.posted) << "step " << &step - steps;
    }
}

TEST(Presentation, ThePictureFillsTheDrawableAt4To3Centred) {
    const struct {
        int width, height;
        std::vector<int> rect;
    } cases[] = {
        {800, 600, {0, 0, 800, 600}},
        {1280, 1024, {0, 32, 1280, 960}},
        {1000, 500, {166, 0, 667, 500}},
        {600, 1000, {0, 275, 600, 450}},
        {1, 1, {0, 0, 1, 1}},
        {0, 600, {0, 0, 0, 0}},
    };
    for (const auto& c : cases) {
        const PresentRect r = letterboxRect(c.width, c.height);
        EXPECT_EQ(std::vector<int>({r.x, r.y, r.width, r.height}), c.rect)
            << c.width << "x" << c.height;
    }
}

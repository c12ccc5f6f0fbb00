#include <gtest/gtest.h>

#include "shell/gl_window.h"
#include "shell/presentation.h"
#include "shell/sdl_events.h"
#include "shell/window_proc.h"

namespace {

WindowHandle fakeWindow() {
    static char storage;
    return reinterpret_cast<WindowHandle>(&storage);
}

constexpr Uint32 kWindowId = 7;

EventTarget target() {
    EventTarget t;
    t.window = fakeWindow();
    t.windowId = kWindowId;
    t.drawableWidth = 1600;
    t.drawableHeight = 1200;
    return t;
}

SDL_Event keyEvent(const Uint32 type, const SDL_Keycode key, const Uint16 mod = KMOD_NONE,
                   const Uint8 repeat = 0, const Uint32 windowId = kWindowId) {
    SDL_Event event{};
    event.type = type;
    event.key.windowID = windowId;
    event.key.repeat = repeat;
    event.key.keysym.sym = key;
    event.key.keysym.scancode = SDL_GetScancodeFromKey(key);
    event.key.keysym.mod = mod;
    return event;
}

SDL_Event windowEvent(const Uint8 what, const Uint32 windowId = kWindowId) {
    SDL_Event event{};
    event.type = SDL_WINDOWEVENT;
    event.window.windowID = windowId;
    event.window.event = what;
    return event;
}

} // namespace

TEST(VirtualKeys, TheShowsKeysAndTheUsualOthersGetTheirCodes) {
    const struct {
        SDL_Keycode key;
        unsigned code;
        Uint16 mod = KMOD_NONE;
    } cases[] = {
        {SDLK_ESCAPE, 27}, {SDLK_F1, 112},    {SDLK_LEFT, 37},   {SDLK_UP, 38},
        {SDLK_RIGHT, 39},  {SDLK_DOWN, 40},   {SDLK_a, 'A'},     {SDLK_z, 'Z'},
        {SDLK_0, '0'},     {SDLK_9, '9'},     {SDLK_SPACE, 32},  {SDLK_RETURN, 13},
        {SDLK_F12, 123},   {SDLK_F24, 135},   {SDLK_KP_5, 12},   {SDLK_KP_5, 101, KMOD_NUM},
        {SDLK_LSHIFT, 16}, {SDLK_RSHIFT, 16}, {SDLK_COMMA, 188}, {SDLK_DELETE, 46},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(virtualKeyFor(c.key, SDL_GetScancodeFromKey(c.key), c.mod), c.code)
            << SDL_GetKeyName(c.key) << " mod " << c.mod;
    }
    EXPECT_GT(virtualKeyFor(SDLK_AUDIOPLAY, SDL_SCANCODE_AUDIOPLAY, KMOD_NONE), 255u)
        << "keys without a code must land above 255";
}

TEST(EventTranslation, KeysBecomeKeyMessagesAndAltMakesThemSystemKeys) {
    Message message;
    ASSERT_TRUE(translateEvent(keyEvent(SDL_KEYDOWN, SDLK_F1), target(), &message));
    EXPECT_EQ(message.message, WM_KEYDOWN);
    EXPECT_EQ(message.wParam, 112u);
    EXPECT_EQ(message.window, fakeWindow());

    ASSERT_TRUE(translateEvent(keyEvent(SDL_KEYDOWN, SDLK_F1, KMOD_NONE, 1), target(), &message));
    EXPECT_EQ(message.message, WM_KEYDOWN) << "auto-repeat is another key-down";

    ASSERT_TRUE(translateEvent(keyEvent(SDL_KEYUP, SDLK_UP), target(), &message));
    EXPECT_EQ(message.message, WM_KEYUP);
    EXPECT_EQ(message.wParam, 38u);

    ASSERT_TRUE(translateEvent(keyEvent(SDL_KEYDOWN, SDLK_F4, KMOD_LALT), target(), &message));
    EXPECT_EQ(message.message, WM_SYSKEYDOWN);
    ASSERT_TRUE(translateEvent(keyEvent(SDL_KEYDOWN, SDLK_F10), target(), &message));
    EXPECT_EQ(message.message, WM_SYSKEYDOWN);

    EXPECT_FALSE(translateEvent(keyEvent(SDL_KEYDOWN, SDLK_UP, KMOD_NONE, 0, kWindowId + 1),
                                target(), &message))
        << "another window's keys";
}

TEST(EventTranslation, WindowEventsBecomeSizeAndCloseMessages) {
    Message message;
    ASSERT_TRUE(translateEvent(windowEvent(SDL_WINDOWEVENT_MINIMIZED), target(), &message));
    EXPECT_EQ(message.message, WM_SIZE);
    EXPECT_EQ(message.wParam, SIZE_MINIMIZED);

    for (const Uint8 what : {SDL_WINDOWEVENT_RESTORED, SDL_WINDOWEVENT_SIZE_CHANGED}) {
        ASSERT_TRUE(translateEvent(windowEvent(what), target(), &message));
        EXPECT_EQ(message.message, WM_SIZE);
        EXPECT_EQ(message.wParam, SIZE_RESTORED);
        EXPECT_EQ(loWord(static_cast<std::uintptr_t>(message.lParam)), 1600u);
        EXPECT_EQ(hiWord(static_cast<std::uintptr_t>(message.lParam)), 1200u);
    }
    ASSERT_TRUE(translateEvent(windowEvent(SDL_WINDOWEVENT_MAXIMIZED), target(), &message));
    EXPECT_EQ(message.wParam, SIZE_MAXIMIZED);

    ASSERT_TRUE(translateEvent(windowEvent(SDL_WINDOWEVENT_CLOSE), target(), &message));
    EXPECT_EQ(message.message, WM_CLOSE);
    SDL_Event quit{};
    quit.type = SDL_QUIT;
    ASSERT_TRUE(translateEvent(quit, target(), &message));
    EXPECT_EQ(message.message, WM_CLOSE);

    EXPECT_FALSE(translateEvent(windowEvent(SDL_WINDOWEVENT_MOVED), target(), &message));
    EXPECT_FALSE(translateEvent(windowEvent(SDL_WINDOWEVENT_CLOSE, 99), target(), &message));
}

TEST(EventTranslation, TranslatedEventsDriveTheKeyState) {
    KeyState keys{};
    RenderWindow record;
    record.keyFlags = &keys;
    record.window = fakeWindow();
    CreateStruct create;
    create.createParams = &record;
    renderWindowProc(record.window, WM_CREATE, 0, reinterpret_cast<LPARAM>(&create));
    // The keypad's 4, 6, 8 and 2 are arrows with NumLock off and digits with it on.
    const SDL_Event events[] = {keyEvent(SDL_KEYDOWN, SDLK_RIGHT),
                                keyEvent(SDL_KEYDOWN, SDLK_DOWN),
                                keyEvent(SDL_KEYUP, SDLK_RIGHT),
                                keyEvent(SDL_KEYDOWN, SDLK_AUDIOPLAY),
                                keyEvent(SDL_KEYDOWN, SDLK_KP_4),
                                keyEvent(SDL_KEYDOWN, SDLK_KP_8, KMOD_NUM),
                                keyEvent(SDL_KEYDOWN, SDLK_KP_6, KMOD_CAPS),
                                keyEvent(SDL_KEYUP, SDLK_KP_6),
                                keyEvent(SDL_KEYDOWN, SDLK_KP_2, KMOD_NUM | KMOD_SHIFT)};
    for (const SDL_Event& event : events) {
        Message m;
        ASSERT_TRUE(translateEvent(event, target(), &m));
        renderWindowProc(m.window, m.message, m.wParam, m.lParam);
    }
    KeyState expected{};
    expected[VK_DOWN] = 1;
    expected[VK_LEFT] = 1;
    expected[104] = 1;
    expected[98] = 1;
    EXPECT_EQ(keys, expected);
    setWindowUserData(record.window, nullptr);
}

TEST(Letterbox, ThePictureFillsTheDrawableAt4To3Centred) {
    const struct {
        int w, h;
        PresentRect rect;
    } cases[] = {
        {800, 600, {0, 0, 800, 600}},
        {1280, 1024, {0, 32, 1280, 960}},
        {1000, 500, {166, 0, 667, 500}},
        {1920, 1080, {240, 0, 1440, 1080}},
        {400, 300, {0, 0, 400, 300}},
        {600, 1000, {0, 275, 600, 450}},
        {1, 1, {0, 0, 1, 1}},
        {2560, 1920, {0, 0, 2560, 1920}},
    };
    for (const auto& c : cases) {
        const PresentRect r = letterboxRect(c.w, c.h);
        EXPECT_EQ(r.x, c.rect.x) << c.w << "x" << c.h;
        EXPECT_EQ(r.y, c.rect.y) << c.w << "x" << c.h;
        EXPECT_EQ(r.width, c.rect.width) << c.w << "x" << c.h;
        EXPECT_EQ(r.height, c.rect.height) << c.w << "x" << c.h;
    }
    const PresentRect none = letterboxRect(0, 600);
    EXPECT_EQ(none.width, 0);
    EXPECT_EQ(none.height, 0);
}

TEST(Display, InvisibleDriversCountAsNoDisplay) {
    EXPECT_TRUE(isInvisibleVideoDriver("offscreen"));
    EXPECT_TRUE(isInvisibleVideoDriver("dummy"));
    EXPECT_TRUE(isInvisibleVideoDriver(nullptr));
    EXPECT_FALSE(isInvisibleVideoDriver("x11"));
    EXPECT_FALSE(isInvisibleVideoDriver("wayland"));
}

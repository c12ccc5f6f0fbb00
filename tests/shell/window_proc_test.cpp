#include <gtest/gtest.h>

#include "shell/messages.h"
#include "shell/window_proc.h"

namespace {

// A window handle for tests: never dereferenced, only compared.
WindowHandle fakeWindow(const int n) {
    static char storage[4];
    return reinterpret_cast<WindowHandle>(&storage[n]);
}

void drain(const WindowHandle window) {
    discardMessages(window);
}

class WindowProc : public ::testing::Test {
  protected:
    void SetUp() override {
        keys.fill(0);
        record = RenderWindow{};
        record.keyFlags = &keys;
        record.window = window;
        record.visible = 1;
        CreateStruct create;
        create.createParams = &record;
        ASSERT_EQ(renderWindowProc(window, WM_CREATE, 0, reinterpret_cast<LPARAM>(&create)), 0);
        keepRunning = 1;
        fullScreenWanted = 0;
    }
    void TearDown() override {
        drain(window);
        setWindowUserData(window, nullptr);
    }
    LRESULT send(const unsigned message, const WPARAM wParam, const LPARAM lParam = 0) {
        return renderWindowProc(window, message, wParam, lParam);
    }

    WindowHandle window = fakeWindow(0);
    KeyState keys{};
    RenderWindow record;
};

} // namespace

TEST_F(WindowProc, CreateTiesTheWindowToItsRecord) {
    EXPECT_EQ(windowUserData(window), &record);
    EXPECT_EQ(windowUserData(fakeWindow(1)), nullptr);
}

TEST_F(WindowProc, SizeMessagesSetVisibilityAndThePresentationSize) {
    EXPECT_EQ(send(WM_SIZE, SIZE_MINIMIZED, makeLParam(0, 0)), 0);
    EXPECT_EQ(record.visible, 0);

    EXPECT_EQ(send(WM_SIZE, SIZE_RESTORED, makeLParam(1024, 768)), 0);
    EXPECT_EQ(record.visible, 1);
    EXPECT_EQ(record.drawableWidth, 1024);
    EXPECT_EQ(record.drawableHeight, 768);

    send(WM_SIZE, SIZE_MINIMIZED, 0);
    EXPECT_EQ(record.drawableWidth, 1024) << "a minimise keeps the last size";
    send(WM_SIZE, SIZE_MAXIMIZED, makeLParam(1280, 997));
    EXPECT_EQ(record.visible, 1);
    EXPECT_EQ(record.drawableWidth, 1280);
    EXPECT_EQ(record.drawableHeight, 997);

    // Other kinds (e.g. another window maximised) change nothing.
    record.visible = 0;
    send(WM_SIZE, 3, makeLParam(10, 10));
    EXPECT_EQ(record.visible, 0);
    EXPECT_EQ(record.drawableWidth, 1280);
}

TEST_F(WindowProc, KeysUpToCode255AreRecordedAndOthersIgnored) {
    send(WM_KEYDOWN, VK_ESCAPE);
    send(WM_KEYDOWN, 255);
    send(WM_KEYDOWN, 0);
    EXPECT_EQ(keys[VK_ESCAPE], 1);
    EXPECT_EQ(keys[255], 1);
    EXPECT_EQ(keys[0], 1);
    send(WM_KEYUP, VK_ESCAPE);
    EXPECT_EQ(keys[VK_ESCAPE], 0);
    EXPECT_EQ(keys[255], 1);

    const KeyState before = keys;
    send(WM_KEYDOWN, 256);
    send(WM_KEYDOWN, 256 + VK_LEFT);
    send(WM_KEYUP, 0x1FF);
    send(WM_SYSKEYDOWN, VK_UP);
    EXPECT_EQ(keys, before) << "codes above 255 and system keys leave the key state alone";
}

TEST_F(WindowProc, CloseQuitsTheWholeProgram) {
    EXPECT_EQ(send(WM_CLOSE, 0), 0);
    EXPECT_EQ(keepRunning, 0);
    Message message;
    ASSERT_TRUE(peekMessage(&message, window));
    EXPECT_EQ(message.message, WM_QUIT);
    EXPECT_FALSE(peekMessage(&message, window));
}

TEST_F(WindowProc, AltF4AsksTheWindowToClose) {
    send(WM_SYSKEYDOWN, VK_F4);
    Message message;
    ASSERT_TRUE(peekMessage(&message, window));
    EXPECT_EQ(message.message, WM_CLOSE);
    send(WM_SYSKEYDOWN, VK_F1);
    EXPECT_FALSE(peekMessage(&message, window));
}

TEST_F(WindowProc, TheToggleFlipsFullScreenAndEndsOnlyTheWindow) {
    send(MSG_FLIP_FULLSCREEN, 0);
    EXPECT_EQ(fullScreenWanted, 1);
    EXPECT_EQ(keepRunning, 1);
    Message message;
    ASSERT_TRUE(peekMessage(&message, window));
    EXPECT_EQ(message.message, WM_QUIT);
    EXPECT_EQ(message.window, window);

    send(MSG_FLIP_FULLSCREEN, 0);
    EXPECT_EQ(fullScreenWanted, 0);
    EXPECT_EQ(keepRunning, 1);
}

TEST_F(WindowProc, ScreenSaverRequestsAreRefused) {
    EXPECT_EQ(send(WM_SYSCOMMAND, SC_SCREENSAVE), 0);
    EXPECT_EQ(send(WM_SYSCOMMAND, SC_MONITORPOWER), 0);
    Message message;
    EXPECT_FALSE(peekMessage(&message, window));
}

TEST(WindowProcWithoutRecord, MessagesBeforeCreateAreHarmless) {
    const WindowHandle unknown = fakeWindow(2);
    EXPECT_EQ(renderWindowProc(unknown, WM_KEYDOWN, VK_UP, 0), 0);
    EXPECT_EQ(renderWindowProc(unknown, WM_SIZE, SIZE_RESTORED, makeLParam(10, 10)), 0);
    EXPECT_EQ(renderWindowProc(unknown, WM_CLOSE, 0, 0), 0);
}

TEST(MessageQueue, EachWindowGetsItsOwnMessagesInOrder) {
    const WindowHandle a = fakeWindow(0);
    const WindowHandle b = fakeWindow(1);
    postMessage(a, WM_KEYDOWN, 1, 0);
    postMessage(b, WM_KEYDOWN, 2, 0);
    postMessage(a, WM_KEYUP, 3, 0);
    Message message;
    ASSERT_TRUE(peekMessage(&message, a));
    EXPECT_EQ(message.wParam, 1u);
    ASSERT_TRUE(peekMessage(&message, a));
    EXPECT_EQ(message.wParam, 3u);
    EXPECT_FALSE(peekMessage(&message, a));

    postMessage(a, WM_QUIT, 0, 0);
    discardMessages(b);
    EXPECT_FALSE(peekMessage(&message, b)) << "a destroyed window's messages are dropped";
    ASSERT_TRUE(peekMessage(&message, a)) << "and only those";
    EXPECT_EQ(message.message, WM_QUIT);
}

TEST(MessageQueue, AFullQueueRefusesRatherThanOverwrites) {
    const WindowHandle a = fakeWindow(3);
    int accepted = 0;
    while (postMessage(a, WM_KEYDOWN, static_cast<WPARAM>(accepted), 0) && accepted < 100000) {
        ++accepted;
    }
    EXPECT_LT(accepted, 100000);
    Message message;
    ASSERT_TRUE(peekMessage(&message, a));
    EXPECT_EQ(message.wParam, 0u) << "the oldest message survives";
    EXPECT_TRUE(postMessage(a, WM_QUIT, 0, 0)) << "taking one frees a place";
    discardMessages(a);
}

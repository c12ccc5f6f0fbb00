#include <gtest/gtest.h>

#include <vector>

#include "shell/demo_hooks.h"

namespace {

std::vector<float> seeks;
void recordSeek(const float deltaMilliseconds) {
    seeks.push_back(deltaMilliseconds);
}

class DemoUpdate : public ::testing::Test {
  protected:
    void SetUp() override {
        static char storage;
        keys.fill(0);
        record = RenderWindow{};
        record.keyFlags = &keys;
        record.window = reinterpret_cast<WindowHandle>(&storage);
        activeWindow = &record;
        activeKeys = &keys;
        keepRunning = 1;
        seeks.clear();
        setMusicSeeker(recordSeek);
    }
    void TearDown() override {
        setMusicSeeker(nullptr);
        discardMessages(record.window);
    }
    std::vector<unsigned> postedMessages() {
        std::vector<unsigned> posted;
        Message message;
        while (peekMessage(&message, record.window)) {
            posted.push_back(message.message);
        }
        return posted;
    }

    KeyState keys{};
    RenderWindow record;
};

} // namespace

TEST_F(DemoUpdate, KeysHeldTogetherAllActInTheFixedOrder) {
    keys[VK_DOWN] = 1;
    keys[VK_UP] = 1;
    keys[VK_RIGHT] = 1;
    keys[VK_LEFT] = 1;
    keys[VK_F1] = 1;
    keys[VK_ESCAPE] = 1;
    demoUpdate(16);
    EXPECT_EQ(seeks, (std::vector<float>{-500.0f, 500.0f, 5000.0f, -5000.0f}));
    EXPECT_EQ(postedMessages(), (std::vector<unsigned>{WM_QUIT, MSG_FLIP_FULLSCREEN}))
        << "Escape's quit comes before F1's toggle, so the loop quits first";
    EXPECT_EQ(keepRunning, 0);
}

TEST_F(DemoUpdate, KeysActOnEveryFrameWhileHeldAndNotAfter) {
    keys[VK_UP] = 1;
    keys[VK_F1] = 1;
    for (int frame = 0; frame < 3; ++frame) {
        demoUpdate(frame == 0 ? 0u : 100000u); // the elapsed time plays no part
    }
    EXPECT_EQ(seeks, std::vector<float>(3, 5000.0f));
    EXPECT_EQ(postedMessages(), std::vector<unsigned>(3, MSG_FLIP_FULLSCREEN));

    keys[VK_UP] = 0;
    keys[VK_F1] = 0;
    demoUpdate(16);
    EXPECT_EQ(seeks.size(), 3u);
    EXPECT_TRUE(postedMessages().empty());
}

TEST_F(DemoUpdate, OtherKeysDoNothing) {
    for (int key = 0; key < 256; ++key) {
        keys[key] = 1;
    }
    for (const int key : {VK_ESCAPE, VK_F1, VK_LEFT, VK_RIGHT, VK_UP, VK_DOWN}) {
        keys[key] = 0;
    }
    keys['W'] = 2; // only exactly 1 means down
    demoUpdate(16);
    EXPECT_TRUE(seeks.empty());
    EXPECT_TRUE(postedMessages().empty());
    EXPECT_EQ(keepRunning, 1);
}

TEST_F(DemoUpdate, EveryKeyDownActsOnceEvenIfReleasedBeforeTheFrameOrHeldIntoANewWindow) {
    CreateStruct create;
    create.createParams = &record;
    renderWindowProc(record.window, WM_CREATE, 0, reinterpret_cast<LPARAM>(&create));
    renderWindowProc(record.window, WM_KEYDOWN, VK_F1, 0);
    demoUpdate(16);
    keys.fill(0); // a new window starts with every key up
    demoUpdate(16);
    EXPECT_EQ(postedMessages(), std::vector<unsigned>{MSG_FLIP_FULLSCREEN});
    renderWindowProc(record.window, WM_KEYDOWN, VK_F1, 0); // the auto-repeat reaches it
    demoUpdate(16);
    EXPECT_EQ(postedMessages(), std::vector<unsigned>{MSG_FLIP_FULLSCREEN});

    for (const int key : {VK_LEFT, VK_F1, VK_ESCAPE}) { // taps between two frames
        renderWindowProc(record.window, WM_KEYDOWN, static_cast<WPARAM>(key), 0);
        renderWindowProc(record.window, WM_KEYUP, static_cast<WPARAM>(key), 0);
    }
    demoUpdate(16);
    demoUpdate(16);
    EXPECT_EQ(seeks, std::vector<float>{-500.0f});
    EXPECT_EQ(postedMessages(), (std::vector<unsigned>{WM_QUIT, MSG_FLIP_FULLSCREEN}));
    setWindowUserData(record.window, nullptr);
}

#include "shell/demo_hooks.h"

#include <array>

#include "demo/frame.h"
#include "demo/music.h"
#include "demo/startup.h"
#include "platform/gl.h"

RenderWindow* activeWindow = nullptr;
KeyState* activeKeys = nullptr;

namespace {

MusicSeeker musicSeeker = seekMusic;

enum class KeyCommand { Quit, ToggleFullScreen, Seek };

struct KeyBinding {
    int virtualKey;
    KeyCommand command;
    float seekMilliseconds;
};

// Polled in this order every drawn frame.
constexpr std::array<KeyBinding, 6> kKeyBindings = {{
    {VK_ESCAPE, KeyCommand::Quit, 0.0f},
    {VK_F1, KeyCommand::ToggleFullScreen, 0.0f},
    {VK_LEFT, KeyCommand::Seek, -500.0f},
    {VK_RIGHT, KeyCommand::Seek, 500.0f},
    {VK_UP, KeyCommand::Seek, 5000.0f},
    {VK_DOWN, KeyCommand::Seek, -5000.0f},
}};

void perform(const KeyBinding& binding) {
    switch (binding.command) {
    case KeyCommand::Quit:
        requestQuit(activeWindow);
        break;
    case KeyCommand::ToggleFullScreen:
        requestFullScreenToggle(activeWindow);
        break;
    case KeyCommand::Seek:
        musicSeeker(binding.seekMilliseconds);
        break;
    }
}

} // namespace

void setMusicSeeker(const MusicSeeker seeker) {
    musicSeeker = seeker != nullptr ? seeker : seekMusic;
}

void demoInit(RenderWindow* const window, KeyState* const keys) {
    activeWindow = window;
    activeKeys = keys;
    startDemo();
}

void demoShutdown() {}

void demoUpdate(std::uint32_t) {
    KeyState& presses = activeWindow->keyPresses;
    for (const KeyBinding& binding : kKeyBindings) {
        if ((*activeKeys)[binding.virtualKey] == 1 || presses[binding.virtualKey] == 1) {
            perform(binding);
        }
    }
    presses.fill(0);
}

void demoDraw() {
    drawFrame();
    glFlush();
}

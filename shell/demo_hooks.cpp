#include "shell/demo_hooks.h"

#include <array>

#include "demo/frame.h"
#include "demo/music.h"
#include "demo/startup.h"
#include "platform/gl.h"

RenderWindow* activeWindow = nullptr;

namespace {

MusicSeeker musicSeeker = seekMusic;

enum class KeyCommand { Quit, ToggleFullScreen, Seek };

struct KeyBinding {
    ShowKey key;
    KeyCommand command;
    float seekMilliseconds;
};

// Polled in this order every drawn frame.
constexpr std::array<KeyBinding, 6> kKeyBindings = {{
    {ShowKey::Escape, KeyCommand::Quit, 0.0f},
    {ShowKey::F1, KeyCommand::ToggleFullScreen, 0.0f},
    {ShowKey::Left, KeyCommand::Seek, -500.0f},
    {ShowKey::Right, KeyCommand::Seek, 500.0f},
    {ShowKey::Up, KeyCommand::Seek, 5000.0f},
    {ShowKey::Down, KeyCommand::Seek, -5000.0f},
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

void demoInit(RenderWindow* const window) {
    activeWindow = window;
    startDemo();
}

void demoShutdown() {}

void demoUpdate(std::uint32_t) {
    KeyState& presses = activeWindow->keyPresses;
    for (const KeyBinding& binding : kKeyBindings) {
        const auto key = static_cast<std::size_t>(binding.key);
        if (activeWindow->keys[key] == 1 || presses[key] == 1) {
            perform(binding);
        }
    }
    presses.fill(0);
}

void demoDraw() {
    drawFrame();
    glFlush();
}

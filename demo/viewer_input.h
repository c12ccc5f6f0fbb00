#pragma once
// The viewer's input as every host (the window, the web page) reads it: the show's keys and
// what each one does, the pointer over the bottom bar and scrubbing along the heads-up strip,
// and the frame rate the heads-up line shows. Hosts turn their own events into these.
#include <array>
#include <cstddef>
#include <cstdint>

#include "demo/heads_up.h"
#include "demo/show_controls.h"
#include "render/picture_target.h"

// The keys the show acts on.
enum class ShowKey {
    Escape,
    F1,
    Left,
    Right,
    Up,
    Down,
    Space,
    Period,
    Comma,
    PageDown,
    PageUp,
    Home,
    H,
    Count
};

// One value per ShowKey: 1 while the key is down (for the latch: the presses since the last poll).
using KeyState = std::array<std::int32_t, static_cast<std::size_t>(ShowKey::Count)>;

enum class KeyCommand {
    Quit,
    ToggleFullScreen,
    Seek,
    TogglePause,
    Step,
    NextCut,
    PreviousCut,
    Start,
    ToggleHeadsUp
};

struct KeyBinding {
    ShowKey key;
    KeyCommand command;
    float amount;   // the seek's milliseconds, the step's frames
    bool whileHeld; // acts in every turn while held; else once for every press
};

// Polled in this order every turn of a host's loop.
inline constexpr std::array<KeyBinding, 13> kKeyBindings = {{
    {ShowKey::Escape, KeyCommand::Quit, 0.0f, true},
    {ShowKey::F1, KeyCommand::ToggleFullScreen, 0.0f, true},
    {ShowKey::Left, KeyCommand::Seek, -500.0f, true},
    {ShowKey::Right, KeyCommand::Seek, 500.0f, true},
    {ShowKey::Up, KeyCommand::Seek, 5000.0f, true},
    {ShowKey::Down, KeyCommand::Seek, -5000.0f, true},
    {ShowKey::Space, KeyCommand::TogglePause, 0.0f, false},
    {ShowKey::Period, KeyCommand::Step, 1.0f, false},
    {ShowKey::Comma, KeyCommand::Step, -1.0f, false},
    {ShowKey::PageDown, KeyCommand::NextCut, 0.0f, false},
    {ShowKey::PageUp, KeyCommand::PreviousCut, 0.0f, false},
    {ShowKey::Home, KeyCommand::Start, 0.0f, false},
    {ShowKey::H, KeyCommand::ToggleHeadsUp, 0.0f, false},
}};

// Keys whose press switches something on and off: the keyboard's repeats while one is held
// would switch it back and forth, so they are not counted as presses.
bool isToggleKey(ShowKey key);

// The show's keys as a host keeps them between two turns of its loop, so that a tap between
// two frames still acts: the keys held, the presses of the keys that act while held, and the
// presses of the others in the order they came (two different keys tapped within one slow
// frame act in the order they were tapped).
inline constexpr int kMaxTapsPerTurn = 128;
struct ShowKeys {
    KeyState down{};
    KeyState presses{};
    std::array<ShowKey, kMaxTapsPerTurn> taps{};
    int tapCount = 0;
};
// A key going down (`repeat` for the keyboard's own repeats, which the toggles ignore) or up.
void pressShowKey(ShowKeys* keys, ShowKey key, bool repeat);
void releaseShowKey(ShowKeys* keys, ShowKey key);
// Every key up, as when the host loses the keyboard (a release it cannot see still clears).
void releaseShowKeys(ShowKeys* keys);

// Calls `perform` for every binding that acts in this turn: first those that act while held,
// in the table's order, in every turn the key is down (and once after a key-down even if it
// is already up); then one for every other press, in the order of the presses. Then the
// presses start again.
void pollShowKeys(ShowKeys* keys, void (*perform)(const KeyBinding&));

// Does what a binding asks of the show's clock (the seeks, pause, steps, cuts and start)
// through `controls` and `seek`; a seek also marks a frame due, so that a paused show shows
// the new clock. False for the host's own commands (quit, full screen, the heads-up line).
bool performShowCommand(const KeyBinding& binding, const ShowControlActions& controls,
                        void (*seek)(float deltaMilliseconds));

// A point on the picture's 640 x 480 virtual screen, y up (the bottom bar is y 0 to 140);
// outside the picture the values run on beyond that range.
struct VirtualPoint {
    float x = 0.0f;
    float y = 0.0f;
};

// The heads-up line shows while H holds it, while the pointer is over the bottom bar (or the
// margin below it) and until kHeadsUpLingerMs after the pointer left it.
inline constexpr std::uint32_t kHeadsUpLingerMs = 2000;
struct HeadsUpVisibility {
    bool held = false;
    bool pointerOver = false;
    bool lingering = false;
    std::uint32_t leftAt = 0;
};
// The pointer now over the bar or not, at `now` (ms).
void notePointerOverBar(HeadsUpVisibility* visibility, bool over, std::uint32_t now);
bool headsUpShown(const HeadsUpVisibility& visibility, std::uint32_t now);
// Whether a point of the virtual screen is over the bottom bar or below it.
bool overBottomBar(VirtualPoint point);

// In full screen the pointer is hidden unless it moved within kPointerShownMs.
inline constexpr std::uint32_t kPointerShownMs = 2000;

// What the pointer (a mouse, or a finger on a touch screen) did since the last turn.
struct PointerTurn {
    VirtualPoint point; // where it is now
    bool inside = false;
    bool moved = false;
    bool pressed = false;  // the primary button went down (a finger touched)
    bool released = false; // and up again
};
// A drag along the strip: the show is held while it lasts, and plays on after it unless it
// was paused before.
struct StripScrub {
    bool active = false;
    bool pausedBefore = false;
};
// The pointer's turn: the heads-up line follows it over the bottom bar; a press on the strip
// seeks there and holds the show while the button is down, moves with it, and lets it play on
// where it is released.
void followPointer(const PointerTurn& turn, std::uint32_t now, const ShowControlActions& controls,
                   HeadsUpVisibility* visibility, StripScrub* scrub);

// Frames drawn per second, counted over about a second at a time.
struct FrameRate {
    std::uint32_t since = 0;
    int frames = 0;
    float perSecond = 0.0f;
};
// Counts a frame of the playing show; paused, the count starts afresh and the last rate stays.
void countFrame(FrameRate* rate, std::uint32_t now, bool playing);

// The heads-up line of the last frame drawn: its clock and scene, the pause, the rate and the
// picture's size.
HeadsUp currentHeadsUp(const FrameRate& rate, PictureSize picture);

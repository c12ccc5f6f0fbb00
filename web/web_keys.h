#pragma once
// The keys of the web page's show, as the desktop program keeps them: the state of the six
// keys the show uses, with a latch of the presses since the last frame so that a tap between
// two frames still acts once. Browser keys arrive by their names (KeyboardEvent.key).
#include <array>
#include <cstdint>

// The keys the show acts on, in the order every frame polls them.
enum class WebKey { Escape, F1, Left, Right, Up, Down, Count };

using WebKeyState = std::array<std::int32_t, static_cast<std::size_t>(WebKey::Count)>;

struct WebKeys {
    WebKeyState down{};    // 1 while the key is held
    WebKeyState presses{}; // 1 for every key that went down since the last poll
};

// The show's key for a browser key name ("Escape", "F1", "ArrowLeft", ...; the keypad's 4, 6,
// 8 and 2 with NumLock off are named as the arrows). False for every other key.
bool webKeyFor(const char* keyName, WebKey* out);

// A key going down (`down`) or up. Keys with Alt, Control or Meta held do nothing, so the
// browser's own shortcuts keep working. True when the key is one of the show's: the page then
// keeps it from the browser (F1's help, the arrows' scrolling).
bool handleWebKey(WebKeys* keys, const char* keyName, bool down, bool modifierHeld);

// Every key up, as when the page loses the keyboard (a release it cannot see still clears).
void releaseWebKeys(WebKeys* keys);

// Whether `key` acts in this frame: held, or pressed since the last poll.
bool webKeyActs(const WebKeys& keys, WebKey key);
// Ends the frame's poll: the latch starts again.
void clearWebKeyPresses(WebKeys* keys);

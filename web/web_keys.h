#pragma once
// The keys of the web page's show, kept as the desktop window keeps them: the state of the
// show's keys, with the presses since the last turn counted so that a tap between two frames
// still acts (and every one of several quick taps, for the keys that act once per press).
// Browser keys arrive by their names (KeyboardEvent.key).
#include "demo/viewer_input.h"

struct WebKeys {
    KeyState down{};    // 1 while the key is held
    KeyState presses{}; // the key-downs since the last poll
};

// The show's key for a browser key name ("Escape", "F1", "ArrowLeft", " ", ".", "PageDown",
// "h", ...; the keypad's keys with NumLock off are named as the arrows, Page Down, Page Up
// and Home). False for every other key.
bool webKeyFor(const char* keyName, ShowKey* out);

// A key going down (`down`, `repeat` for the keyboard's own repeats) or up. Keys with Alt,
// Control or Meta held do nothing, so the browser's own shortcuts keep working. True when the
// key is one of the show's: the page then keeps it from the browser (F1's help, the arrows'
// and Space's scrolling).
bool handleWebKey(WebKeys* keys, const char* keyName, bool down, bool repeat, bool modifierHeld);

// Every key up, as when the page loses the keyboard (a release it cannot see still clears).
void releaseWebKeys(WebKeys* keys);

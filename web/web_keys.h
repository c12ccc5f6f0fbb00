#pragma once
// The keys of the web page's show, kept as the desktop window keeps them (ShowKeys): browser
// keys arrive by their names (KeyboardEvent.key).
#include "demo/viewer_input.h"

// The show's key for a browser key name ("Escape", "F1", "ArrowLeft", " ", ".", "PageDown",
// "h", ...; the keypad's keys with NumLock off are named as the arrows, Page Down, Page Up
// and Home). False for every other key.
bool webKeyFor(const char* keyName, ShowKey* out);

// A key going down (`down`, `repeat` for the keyboard's own repeats) or up. Keys with Alt,
// Control or Meta held do nothing, so the browser's own shortcuts keep working. True when the
// key is one of the show's: the page then keeps it from the browser (F1's help, the arrows'
// and Space's scrolling).
bool handleWebKey(ShowKeys* keys, const char* keyName, bool down, bool repeat, bool modifierHeld);

#pragma once
// Turns SDL events into the shell's window messages.
#include <SDL.h>

#include "shell/messages.h"

// The virtual-key code of an SDL key with the modifiers `mod`: letters and digits as their
// upper-case ASCII codes, Escape 27, F1-F24 112-135, arrows 37-40 and the rest of the usual
// keys. The keypad's digits are its digits (96-105) with NumLock on and the navigation keys
// printed on them with NumLock off (4, 6, 8 and 2 the arrows). Keys without a code get a number
// above 255 (256 + scan code), which the window procedure ignores.
unsigned virtualKeyFor(SDL_Keycode key, SDL_Scancode scancode, Uint16 mod);

// What an event is translated against: the window the messages are for, its SDL id and the
// size of its drawable in pixels (for size messages).
struct EventTarget {
    WindowHandle window = nullptr;
    Uint32 windowId = 0;
    int drawableWidth = 0;
    int drawableHeight = 0;
};

// The message for `event`, or false when the event means nothing to the window:
// key down/up -> WM_KEYDOWN/WM_KEYUP (WM_SYSKEYDOWN/WM_SYSKEYUP with Alt held, for Alt itself
// and for F10), resize/restore/maximise -> WM_SIZE with the drawable size, minimise -> WM_SIZE
// SIZE_MINIMIZED, close (and the application quit event, e.g. on SIGINT) -> WM_CLOSE.
// Events of other windows are ignored.
bool translateEvent(const SDL_Event& event, const EventTarget& target, Message* out);

// Polls every pending SDL event and posts the translated messages for `window`.
void pumpEvents(WindowHandle window);

#pragma once
// The start-up dialog's template (resource 103) and its layout in pixels: dialog units are
// converted with the base units of the dialog font, as a desktop dialog manager does.
#include <array>

// Control ids.
inline constexpr int IDOK = 1;
inline constexpr int IDC_PICTURE = 1008;
inline constexpr int IDC_FULLSCREEN = 1007;
inline constexpr int IDC_EXIT = 1015;
inline constexpr int IDC_STATIC = -1;

// Bitmap resource of the picture control.
inline constexpr int IDB_DIALOG_PICTURE = 108;

enum class ControlKind { Picture, PushButton, CheckBox, GroupBox };

struct DialogRect {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
};

struct DialogControl {
    int id;
    ControlKind kind;
    const char* text;
    bool tabStop;
    DialogRect units; // position and size in dialog units
};

// The template: 227 x 188 dialog units; the controls in template (and tab) order.
inline constexpr int kDialogWidthUnits = 227;
inline constexpr int kDialogHeightUnits = 188;
inline constexpr int kDialogControlCount = 5;
extern const std::array<DialogControl, kDialogControlCount> kDialogControls;

// The dialog font's base units in pixels: the average width of the letters a-z and A-Z, and
// the font's line height.
struct DialogBaseUnits {
    int x = 0;
    int y = 0;
};

// The base units for an average letter width (the width of the 52 letters divided by 52,
// rounded) and a line height.
DialogBaseUnits baseUnitsFor(int widthOfAllLetters, int lineHeight);

// Dialog units to pixels: horizontal units are a quarter, vertical units an eighth of the
// base unit, rounded to the nearest pixel.
DialogRect unitsToPixels(const DialogRect& units, const DialogBaseUnits& base);

// Every control's rectangle in pixels, in template order, and the dialog's client size.
struct DialogLayout {
    int width = 0;
    int height = 0;
    std::array<DialogRect, kDialogControlCount> controls;
};
DialogLayout layoutDialog(const DialogBaseUnits& base);

// The index of the clickable control (push button or check box) under the client point
// (x, y), or -1.
int hitTestControl(const DialogLayout& layout, int x, int y);

// The index of the next tab stop after `current` (-1: none focused) in template order, or the
// previous one when `forward` is false; wraps around.
int nextTabStop(int current, bool forward);

// The index of the control with `id`, or -1.
int controlIndex(int id);

#include "shell/dialog_layout.h"

const std::array<DialogControl, kDialogControlCount> kDialogControls = {{
    {IDC_PICTURE, ControlKind::Picture, nullptr, false, {0, 0, 227, 95}},
    {IDOK, ControlKind::PushButton, "OK", true, {21, 140, 186, 13}},
    {IDC_FULLSCREEN, ControlKind::CheckBox, "FullScreen", true, {90, 118, 55, 11}},
    {IDC_EXIT, ControlKind::PushButton, "Exit", true, {21, 153, 186, 14}},
    {IDC_STATIC, ControlKind::GroupBox, "Settings", false, {7, 100, 215, 78}},
}};

namespace {

// a * b / c rounded to the nearest integer, halves away from zero.
int mulDiv(const int a, const int b, const int c) {
    const long long product = static_cast<long long>(a) * b;
    const long long half = c / 2;
    return static_cast<int>(product >= 0 ? (product + half) / c : (product - half) / c);
}

bool isClickable(const ControlKind kind) {
    return kind == ControlKind::PushButton || kind == ControlKind::CheckBox;
}

} // namespace

DialogBaseUnits baseUnitsFor(const int widthOfAllLetters, const int lineHeight) {
    return DialogBaseUnits{(widthOfAllLetters / 26 + 1) / 2, lineHeight};
}

DialogRect unitsToPixels(const DialogRect& units, const DialogBaseUnits& base) {
    return DialogRect{mulDiv(units.x, base.x, 4), mulDiv(units.y, base.y, 8),
                      mulDiv(units.width, base.x, 4), mulDiv(units.height, base.y, 8)};
}

DialogLayout layoutDialog(const DialogBaseUnits& base) {
    DialogLayout layout;
    const DialogRect size =
        unitsToPixels(DialogRect{0, 0, kDialogWidthUnits, kDialogHeightUnits}, base);
    layout.width = size.width;
    layout.height = size.height;
    for (int i = 0; i < kDialogControlCount; ++i) {
        layout.controls[i] = unitsToPixels(kDialogControls[i].units, base);
    }
    return layout;
}

int hitTestControl(const DialogLayout& layout, const int x, const int y) {
    for (int i = 0; i < kDialogControlCount; ++i) {
        const DialogRect& r = layout.controls[i];
        if (isClickable(kDialogControls[i].kind) && x >= r.x && x < r.x + r.width && y >= r.y &&
            y < r.y + r.height) {
            return i;
        }
    }
    return -1;
}

int nextTabStop(const int current, const bool forward) {
    const int step = forward ? 1 : kDialogControlCount - 1;
    int index = current;
    if (index < 0) {
        index = forward ? kDialogControlCount - 1 : 0;
    }
    for (int n = 0; n < kDialogControlCount; ++n) {
        index = (index + step) % kDialogControlCount;
        if (kDialogControls[index].tabStop) {
            return index;
        }
    }
    return -1;
}

int controlIndex(const int id) {
    for (int i = 0; i < kDialogControlCount; ++i) {
        if (kDialogControls[i].id == id) {
            return i;
        }
    }
    return -1;
}

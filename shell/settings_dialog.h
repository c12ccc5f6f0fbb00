#pragma once
// The start-up settings dialog's logic: its procedure, and the mouse and keyboard handling of
// its controls. No display is involved; dialog_window.h shows it.
#include "shell/dialog_layout.h"
#include "shell/messages.h"

// The dialog's state: what its controls show and whether it has ended.
struct SettingsDialog {
    bool fullScreenChecked = false;
    bool ended = false;
    WPARAM result = 0;
    int focus = -1;   // index of the control with the keyboard focus; -1: none
    int pressed = -1; // index of the control the mouse went down on; -1: none
};
using DialogHandle = SettingsDialog*;

// Check box states.
inline constexpr int BST_UNCHECKED = 0;
inline constexpr int BST_CHECKED = 1;
// Notification of a clicked button (high word of a WM_COMMAND wParam).
inline constexpr unsigned BN_CLICKED = 0;

void checkDlgButton(DialogHandle dialog, int id, int state);
int isDlgButtonChecked(DialogHandle dialog, int id);
void endDialog(DialogHandle dialog, WPARAM result);

// The dialog procedure. "OK" sets the global window record's mode (ordinary window unless the
// box is checked) and ends the dialog; "Exit" ends the process with status 0.
LRESULT settingsDialogProc(DialogHandle dialog, unsigned message, WPARAM wParam, LPARAM lParam);

// Keys the dialog reacts to.
enum class DialogKey { Tab, Space, Enter, Escape, Other };

// Tab / Shift+Tab move the focus through the tab stops; Space clicks the focused control;
// Enter clicks "OK"; Escape and other keys do nothing.
void dialogKeyDown(DialogHandle dialog, DialogKey key, bool shift);

// A press on a control focuses it; releasing the button over the same control clicks it.
void dialogMouseDown(DialogHandle dialog, const DialogLayout& layout, int x, int y);
void dialogMouseUp(DialogHandle dialog, const DialogLayout& layout, int x, int y);

// Clicks the control at `index`: toggles a check box, then tells the procedure with WM_COMMAND.
void clickControl(DialogHandle dialog, int index);

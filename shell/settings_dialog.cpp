#include "shell/settings_dialog.h"

#include <cstdlib>

#include "shell/window_proc.h"

void checkDlgButton(const DialogHandle dialog, const int id, const int state) {
    if (id == IDC_FULLSCREEN) {
        dialog->fullScreenChecked = state == BST_CHECKED;
    }
}

int isDlgButtonChecked(const DialogHandle dialog, const int id) {
    return id == IDC_FULLSCREEN && dialog->fullScreenChecked ? BST_CHECKED : BST_UNCHECKED;
}

void endDialog(const DialogHandle dialog, const WPARAM result) {
    dialog->ended = true;
    dialog->result = result;
}

LRESULT settingsDialogProc(const DialogHandle dialog, const unsigned message, const WPARAM wParam,
                           LPARAM) {
    if (message == WM_INITDIALOG) {
        checkDlgButton(dialog, IDC_FULLSCREEN, BST_UNCHECKED);
        return 0; // no control is given the focus
    }
    if (message != WM_COMMAND) {
        return 0;
    }
    switch (static_cast<int>(loWord(wParam))) {
    case IDOK:
        if (isDlgButtonChecked(dialog, IDC_FULLSCREEN) != BST_CHECKED) {
            renderWindow.fullScreen = 0;
        }
        renderWindow.width = 800;
        renderWindow.height = 600;
        renderWindow.colorDepth = 32;
        endDialog(dialog, wParam);
        return 1;
    case IDC_EXIT:
        std::exit(0); // no window exists yet; the registered exit handlers run
    default:
        return 0;
    }
}

void clickControl(const DialogHandle dialog, const int index) {
    if (index < 0 || index >= kDialogControlCount) {
        return;
    }
    const DialogControl& control = kDialogControls[index];
    if (control.kind == ControlKind::CheckBox) {
        checkDlgButton(dialog, control.id,
                       isDlgButtonChecked(dialog, control.id) == BST_CHECKED ? BST_UNCHECKED
                                                                             : BST_CHECKED);
    } else if (control.kind != ControlKind::PushButton) {
        return;
    }
    const WPARAM command = static_cast<WPARAM>(static_cast<unsigned>(control.id) & 0xFFFFu) |
                           (static_cast<WPARAM>(BN_CLICKED) << 16);
    settingsDialogProc(dialog, WM_COMMAND, command, 0);
}

void dialogKeyDown(const DialogHandle dialog, const DialogKey key, const bool shift) {
    switch (key) {
    case DialogKey::Tab:
        dialog->focus = nextTabStop(dialog->focus, !shift);
        break;
    case DialogKey::Space:
        clickControl(dialog, dialog->focus);
        break;
    case DialogKey::Enter:
        clickControl(dialog, controlIndex(IDOK));
        break;
    case DialogKey::Escape:
    case DialogKey::Other:
        break;
    }
}

void dialogMouseDown(const DialogHandle dialog, const DialogLayout& layout, const int x,
                     const int y) {
    dialog->pressed = hitTestControl(layout, x, y);
    if (dialog->pressed >= 0) {
        dialog->focus = dialog->pressed;
    }
}

void dialogMouseUp(const DialogHandle dialog, const DialogLayout& layout, const int x,
                   const int y) {
    const int pressed = dialog->pressed;
    dialog->pressed = -1;
    if (pressed >= 0 && hitTestControl(layout, x, y) == pressed) {
        clickControl(dialog, pressed);
    }
}

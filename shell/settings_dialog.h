#pragma once
// What the start-up dialog's buttons do, without a display; gtk_dialog.h shows the dialog.

// How the dialog ended: "OK", or "Exit" (also when the dialog is closed).
enum class DialogEnd { Ok, Exit };

// "OK" sets the window record's mode from the "FullScreen" box (an ordinary window unless it
// is checked; checked keeps the record's mode) and its size, 800 x 600 x 32. "Exit" ends the
// process with status 0 through the normal exit: no window exists yet, the exit handlers run.
void endSettingsDialog(DialogEnd end, bool fullScreenChecked);

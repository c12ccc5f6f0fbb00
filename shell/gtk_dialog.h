#pragma once
// The start-up dialog on GTK, used by the program only (the rest of the shell and its tests
// need no GTK): the picture, the "FullScreen" box, "OK" and "Exit".

// Shows the dialog and runs it until "OK" (then sets the window record through
// endSettingsDialog), "Exit" or closing it (then ends the process with status 0). Every GTK
// window is gone and no GTK loop runs when it returns. False, leaving the record's defaults
// alone, when GTK cannot open the display.
bool runSettingsDialog();

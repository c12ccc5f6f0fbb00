#include "shell/settings_dialog.h"

#include <cstdlib>

#include "shell/window_events.h"

void endSettingsDialog(const DialogEnd end, const bool fullScreenChecked) {
    if (end == DialogEnd::Exit) {
        std::exit(0);
    }
    if (!fullScreenChecked) {
        renderWindow.fullScreen = 0;
    }
    renderWindow.width = 800;
    renderWindow.height = 600;
    renderWindow.colorDepth = 32;
}

#include <gtest/gtest.h>

#include "shell/settings_dialog.h"
#include "shell/window_events.h"

TEST(SettingsDialog, OkTakesTheModeFromTheBoxAndExitEndsTheProcessWithStatusZero) {
    for (const bool checked : {false, true}) {
        renderWindow = RenderWindow{};
        renderWindow.fullScreen = 1;
        renderWindow.width = 1;
        endSettingsDialog(DialogEnd::Ok, checked);
        EXPECT_EQ(renderWindow.fullScreen, checked ? 1 : 0) << checked;
        EXPECT_EQ(renderWindow.width, 800);
        EXPECT_EQ(renderWindow.height, 600);
        EXPECT_EQ(renderWindow.colorDepth, 32);
    }
    EXPECT_EXIT(endSettingsDialog(DialogEnd::Exit, false), ::testing::ExitedWithCode(0), "");
}

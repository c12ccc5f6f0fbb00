// The settings dialog without a display: where its controls are, and what keys and clicks do.
#include <gtest/gtest.h>

#include <SDL.h>
#include <vector>

#include "shell/dialog_window.h"
#include "shell/settings_dialog.h"
#include "shell/window_proc.h"

namespace {

// DejaVu Sans 8 pt at 96 dpi: 52 letters 364 px wide, lines 13 px high.
const DialogLayout kLayout = layoutDialog(baseUnitsFor(364, 13));

std::vector<int> pixels(const DialogRect& r) {
    return {r.x, r.y, r.width, r.height};
}

class Dialog : public ::testing::Test {
  protected:
    void SetUp() override {
        renderWindow = RenderWindow{};
        renderWindow.fullScreen = 1;
        dialog = SettingsDialog{};
        dialog.fullScreenChecked = true; // whatever it was, the dialog starts unchecked
        settingsDialogProc(&dialog, WM_INITDIALOG, 0, 0);
    }
    // The mouse pressed at the centre of control `pressed` and released at that of `released`.
    void click(const int pressed, const int released) {
        const DialogRect& p = kLayout.controls[controlIndex(pressed)];
        const DialogRect& r = kLayout.controls[controlIndex(released)];
        dialogMouseDown(&dialog, kLayout, p.x + p.width / 2, p.y + p.height / 2);
        dialogMouseUp(&dialog, kLayout, r.x + r.width / 2, r.y + r.height / 2);
    }
    void key(const DialogKey key, const bool shift = false) { dialogKeyDown(&dialog, key, shift); }
    SettingsDialog dialog;
};

} // namespace

TEST(DialogLayout, ControlsSitWhereTheTemplatePutsThemAndTakeClicksToTheirEdges) {
    EXPECT_EQ(std::vector<int>({kLayout.width, kLayout.height}), std::vector<int>({397, 306}));
    const struct {
        int id;
        std::vector<int> pixels;
    } expected[] = {
        {IDC_PICTURE, {0, 0, 397, 154}},      {IDOK, {37, 228, 326, 21}},
        {IDC_FULLSCREEN, {158, 192, 96, 18}}, {IDC_EXIT, {37, 249, 326, 23}},
        {IDC_STATIC, {12, 163, 376, 127}},
    };
    for (const auto& e : expected) {
        EXPECT_EQ(pixels(kLayout.controls[controlIndex(e.id)]), e.pixels) << e.id;
    }
    const DialogRect& ok = kLayout.controls[controlIndex(IDOK)];
    EXPECT_EQ(hitTestControl(kLayout, ok.x, ok.y), controlIndex(IDOK));
    EXPECT_EQ(hitTestControl(kLayout, ok.x + ok.width, ok.y), -1);
    EXPECT_EQ(hitTestControl(kLayout, ok.x, ok.y + ok.height), controlIndex(IDC_EXIT));
    EXPECT_EQ(hitTestControl(kLayout, 20, 180), -1) << "the group box";

    // The built-in picture, 397 x 174: centred on its control and clipped.
    SDL_Surface* const picture = loadDialogPicture(kDialogPictureBmp, kDialogPictureBmpSize);
    ASSERT_NE(picture, nullptr) << SDL_GetError();
    EXPECT_EQ(pixels(centredImageRect(kLayout.controls[controlIndex(IDC_PICTURE)], picture->w,
                                      picture->h)),
              std::vector<int>({0, -10, 397, 174}));
    SDL_FreeSurface(picture);
}

TEST_F(Dialog, OkStartsAn800x600WindowOrFullScreenWhenTheBoxIsTicked) {
    for (const bool tick : {false, true}) {
        SetUp();
        const int box = tick ? IDC_FULLSCREEN : IDC_PICTURE; // the picture takes no clicks
        click(box, box);
        click(IDC_FULLSCREEN, IDOK); // released elsewhere: no click
        EXPECT_EQ(dialog.fullScreenChecked, tick);
        EXPECT_FALSE(dialog.ended);
        click(IDOK, IDOK);
        EXPECT_TRUE(dialog.ended);
        EXPECT_EQ(std::vector<int>({renderWindow.fullScreen, renderWindow.width,
                                    renderWindow.height, renderWindow.colorDepth}),
                  std::vector<int>({tick ? 1 : 0, 800, 600, 32}));
    }
}

TEST_F(Dialog, TabMovesTheFocusSpacePressesItEnterPressesOkAndEscapeDoesNothing) {
    key(DialogKey::Escape);
    key(DialogKey::Space); // nothing has the focus yet
    EXPECT_FALSE(dialog.ended || dialog.fullScreenChecked);
    for (const int id : {IDOK, IDC_FULLSCREEN, IDC_EXIT, IDOK}) {
        key(DialogKey::Tab);
        EXPECT_EQ(dialog.focus, controlIndex(id));
    }
    key(DialogKey::Tab, true);
    key(DialogKey::Tab, true);
    EXPECT_EQ(dialog.focus, controlIndex(IDC_FULLSCREEN)) << "Shift+Tab goes back";
    key(DialogKey::Space);
    EXPECT_TRUE(dialog.fullScreenChecked);
    EXPECT_FALSE(dialog.ended);
    key(DialogKey::Enter);
    EXPECT_TRUE(dialog.ended);
    EXPECT_EQ(renderWindow.fullScreen, 1);

    SetUp();
    EXPECT_EXIT((key(DialogKey::Tab, true), key(DialogKey::Space)), ::testing::ExitedWithCode(0),
                "")
        << "Shift+Tab from nothing focuses Exit; Space presses it";
}

#include <gtest/gtest.h>

#include <SDL.h>
#include <cstdint>
#include <vector>

#include "shell/dialog_layout.h"
#include "shell/dialog_window.h"
#include "shell/settings_dialog.h"
#include "shell/window_proc.h"

namespace {

// DejaVu Sans 8 pt at 96 dpi: 52 letters 364 px wide, lines 13 px high.
constexpr DialogBaseUnits kBase{7, 13};

int indexOf(const int id) {
    return controlIndex(id);
}

// The centre of control `id` in client pixels.
void centreOf(const DialogLayout& layout, const int id, int* x, int* y) {
    const DialogRect& r = layout.controls[indexOf(id)];
    *x = r.x + r.width / 2;
    *y = r.y + r.height / 2;
}

class Dialog : public ::testing::Test {
  protected:
    void SetUp() override {
        renderWindow = RenderWindow{};
        renderWindow.fullScreen = 1;
        dialog = SettingsDialog{};
        dialog.fullScreenChecked = true; // whatever it was, the dialog starts unchecked
        EXPECT_EQ(settingsDialogProc(&dialog, WM_INITDIALOG, 0, 0), 0);
    }
    SettingsDialog dialog;
    const DialogLayout layout = layoutDialog(kBase);
};

// A w x h, 24-bit uncompressed BMP filled with one colour.
std::vector<std::uint8_t> makeBmp(const int w, const int h) {
    const int rowBytes = (w * 3 + 3) / 4 * 4;
    const std::uint32_t pixelBytes = static_cast<std::uint32_t>(rowBytes * h);
    std::vector<std::uint8_t> bmp(54 + pixelBytes, 0);
    auto put32 = [&](const std::size_t at, const std::uint32_t v) {
        for (int i = 0; i < 4; ++i) {
            bmp[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
        }
    };
    bmp[0] = 'B';
    bmp[1] = 'M';
    put32(2, static_cast<std::uint32_t>(bmp.size()));
    put32(10, 54);
    put32(14, 40);
    put32(18, static_cast<std::uint32_t>(w));
    put32(22, static_cast<std::uint32_t>(h));
    bmp[26] = 1;
    bmp[28] = 24;
    put32(34, pixelBytes);
    for (std::size_t i = 54; i < bmp.size(); ++i) {
        bmp[i] = 0x80;
    }
    return bmp;
}

} // namespace

TEST(DialogUnits, BaseUnitsAndConversionRoundLikeTheDialogManager) {
    EXPECT_EQ(baseUnitsFor(364, 13).x, 7);
    EXPECT_EQ(baseUnitsFor(338, 16).x, 7); // 6.5 rounds up
    EXPECT_EQ(baseUnitsFor(311, 13).x, 6);
    EXPECT_EQ(baseUnitsFor(364, 13).y, 13);

    const DialogRect r = unitsToPixels(DialogRect{21, 140, 186, 13}, kBase);
    EXPECT_EQ(r.x, 37);      // 36.75
    EXPECT_EQ(r.y, 228);     // 227.5 rounds half up
    EXPECT_EQ(r.width, 326); // 325.5
    EXPECT_EQ(r.height, 21); // 21.125
}

TEST(DialogUnits, TheLayoutPlacesEveryControl) {
    const DialogLayout layout = layoutDialog(kBase);
    EXPECT_EQ(layout.width, 397);
    EXPECT_EQ(layout.height, 306);
    const struct {
        int id;
        DialogRect px;
    } expected[] = {
        {IDC_PICTURE, {0, 0, 397, 154}},      {IDOK, {37, 228, 326, 21}},
        {IDC_FULLSCREEN, {158, 192, 96, 18}}, {IDC_EXIT, {37, 249, 326, 23}},
        {IDC_STATIC, {12, 163, 376, 127}},
    };
    for (const auto& e : expected) {
        const DialogRect& r = layout.controls[indexOf(e.id)];
        EXPECT_EQ(r.x, e.px.x) << e.id;
        EXPECT_EQ(r.y, e.px.y) << e.id;
        EXPECT_EQ(r.width, e.px.width) << e.id;
        EXPECT_EQ(r.height, e.px.height) << e.id;
    }
    // The picture is 397 wide: exactly the control's width at these base units.
    const DialogRect place = centredImageRect(layout.controls[indexOf(IDC_PICTURE)], 397, 174);
    EXPECT_EQ(place.x, 0);
    EXPECT_EQ(place.y, -10) << "taller than its control: centred and clipped";
}

TEST(DialogUnits, HitTestsFindOnlyClickableControls) {
    const DialogLayout layout = layoutDialog(kBase);
    int x = 0;
    int y = 0;
    for (const int id : {IDOK, IDC_FULLSCREEN, IDC_EXIT}) {
        centreOf(layout, id, &x, &y);
        EXPECT_EQ(hitTestControl(layout, x, y), indexOf(id)) << id;
    }
    const DialogRect& ok = layout.controls[indexOf(IDOK)];
    EXPECT_EQ(hitTestControl(layout, ok.x, ok.y), indexOf(IDOK));
    EXPECT_EQ(hitTestControl(layout, ok.x - 1, ok.y), -1);
    EXPECT_EQ(hitTestControl(layout, ok.x + ok.width, ok.y), -1);
    EXPECT_EQ(hitTestControl(layout, ok.x, ok.y + ok.height), indexOf(IDC_EXIT))
        << "the buttons touch: the next row belongs to Exit";
    EXPECT_EQ(hitTestControl(layout, 200, 50), -1) << "the picture";
    EXPECT_EQ(hitTestControl(layout, 20, 180), -1) << "the group box";
}

TEST(DialogUnits, TabOrderFollowsTheTemplateAndWraps) {
    const int ok = indexOf(IDOK);
    const int box = indexOf(IDC_FULLSCREEN);
    const int exit = indexOf(IDC_EXIT);
    EXPECT_EQ(nextTabStop(-1, true), ok);
    EXPECT_EQ(nextTabStop(ok, true), box);
    EXPECT_EQ(nextTabStop(box, true), exit);
    EXPECT_EQ(nextTabStop(exit, true), ok);
    EXPECT_EQ(nextTabStop(-1, false), exit);
    EXPECT_EQ(nextTabStop(ok, false), exit);
    EXPECT_EQ(nextTabStop(exit, false), box);
}

TEST_F(Dialog, OkWithTheBoxUncheckedChoosesAnOrdinaryWindow) {
    EXPECT_FALSE(dialog.fullScreenChecked);
    EXPECT_EQ(dialog.focus, -1);
    renderWindow.width = 1;
    EXPECT_EQ(settingsDialogProc(&dialog, WM_COMMAND, IDOK, 0), 1);
    EXPECT_TRUE(dialog.ended);
    EXPECT_EQ(dialog.result, static_cast<WPARAM>(IDOK));
    EXPECT_EQ(renderWindow.fullScreen, 0);
    EXPECT_EQ(renderWindow.width, 800);
    EXPECT_EQ(renderWindow.height, 600);
    EXPECT_EQ(renderWindow.colorDepth, 32);
}

TEST_F(Dialog, OkWithTheBoxCheckedKeepsFullScreen) {
    clickControl(&dialog, indexOf(IDC_FULLSCREEN));
    EXPECT_TRUE(dialog.fullScreenChecked);
    EXPECT_FALSE(dialog.ended) << "the check box alone ends nothing";
    clickControl(&dialog, indexOf(IDOK));
    EXPECT_TRUE(dialog.ended);
    EXPECT_EQ(renderWindow.fullScreen, 1);
}

TEST_F(Dialog, OtherCommandsAndMessagesDoNothing) {
    EXPECT_EQ(settingsDialogProc(&dialog, WM_COMMAND, 2, 0), 0); // IDCANCEL
    EXPECT_EQ(settingsDialogProc(&dialog, WM_COMMAND, IDC_FULLSCREEN, 0), 0);
    EXPECT_EQ(settingsDialogProc(&dialog, WM_KEYDOWN, 27, 0), 0);
    EXPECT_FALSE(dialog.ended);
    EXPECT_EQ(renderWindow.fullScreen, 1);
}

TEST_F(Dialog, ExitEndsTheProcessWithStatusZero) {
    EXPECT_EXIT(settingsDialogProc(&dialog, WM_COMMAND, IDC_EXIT, 0), ::testing::ExitedWithCode(0),
                "");
    EXPECT_EXIT(dialogKeyDown(&dialog, DialogKey::Tab, true);
                dialogKeyDown(&dialog, DialogKey::Space, false), ::testing::ExitedWithCode(0), "")
        << "Shift+Tab from nothing focuses Exit; Space presses it";
}

TEST_F(Dialog, KeyboardMovesTheFocusAndPressesControls) {
    dialogKeyDown(&dialog, DialogKey::Escape, false);
    dialogKeyDown(&dialog, DialogKey::Space, false); // nothing focused yet
    EXPECT_FALSE(dialog.ended);
    EXPECT_FALSE(dialog.fullScreenChecked);

    dialogKeyDown(&dialog, DialogKey::Tab, false);
    EXPECT_EQ(dialog.focus, indexOf(IDOK));
    dialogKeyDown(&dialog, DialogKey::Tab, false);
    EXPECT_EQ(dialog.focus, indexOf(IDC_FULLSCREEN));
    dialogKeyDown(&dialog, DialogKey::Space, false);
    EXPECT_TRUE(dialog.fullScreenChecked);
    dialogKeyDown(&dialog, DialogKey::Space, false);
    dialogKeyDown(&dialog, DialogKey::Space, false);
    EXPECT_TRUE(dialog.fullScreenChecked);
    EXPECT_FALSE(dialog.ended);

    dialogKeyDown(&dialog, DialogKey::Enter, false);
    EXPECT_TRUE(dialog.ended) << "Enter presses OK wherever the focus is";
    EXPECT_EQ(renderWindow.fullScreen, 1);
}

TEST_F(Dialog, AClickNeedsPressAndReleaseOnTheSameControl) {
    int bx = 0;
    int by = 0;
    int okX = 0;
    int okY = 0;
    centreOf(layout, IDC_FULLSCREEN, &bx, &by);
    centreOf(layout, IDOK, &okX, &okY);

    dialogMouseDown(&dialog, layout, bx, by);
    EXPECT_EQ(dialog.focus, indexOf(IDC_FULLSCREEN));
    dialogMouseUp(&dialog, layout, okX, okY);
    EXPECT_FALSE(dialog.fullScreenChecked) << "released elsewhere: no click";
    EXPECT_FALSE(dialog.ended);

    dialogMouseDown(&dialog, layout, bx, by);
    dialogMouseUp(&dialog, layout, bx, by);
    EXPECT_TRUE(dialog.fullScreenChecked);

    dialogMouseDown(&dialog, layout, 100, 50); // the picture
    dialogMouseUp(&dialog, layout, 100, 50);
    EXPECT_FALSE(dialog.ended);

    dialogMouseDown(&dialog, layout, okX, okY);
    dialogMouseUp(&dialog, layout, okX, okY);
    EXPECT_TRUE(dialog.ended);
    EXPECT_EQ(renderWindow.fullScreen, 1);
}

TEST(DialogPicture, A24BitBmpLoadsAtItsOwnSizeAndBadDataLoadsNothing) {
    const std::vector<std::uint8_t> bmp = makeBmp(397, 174);
    SDL_Surface* const picture = loadDialogPicture(bmp.data(), bmp.size());
    ASSERT_NE(picture, nullptr) << SDL_GetError();
    EXPECT_EQ(picture->w, 397);
    EXPECT_EQ(picture->h, 174);
    SDL_FreeSurface(picture);

    EXPECT_EQ(loadDialogPicture(nullptr, 0), nullptr);
    EXPECT_EQ(loadDialogPicture(bmp.data(), 0), nullptr);
    EXPECT_EQ(loadDialogPicture(bmp.data(), 20), nullptr) << "a truncated header";
    std::vector<std::uint8_t> notBmp(bmp.size(), 0x41);
    EXPECT_EQ(loadDialogPicture(notBmp.data(), notBmp.size()), nullptr);
}

TEST(DialogPicture, TheBuiltInPictureIsTheDialogsPicture) {
    if (kDialogPictureBmpSize == 0) {
        GTEST_SKIP() << "this build has no resources/dialog_picture.bmp";
    }
    SDL_Surface* const picture = loadDialogPicture(kDialogPictureBmp, kDialogPictureBmpSize);
    ASSERT_NE(picture, nullptr) << SDL_GetError();
    EXPECT_EQ(picture->w, 397);
    EXPECT_EQ(picture->h, 174);
    SDL_FreeSurface(picture);
}

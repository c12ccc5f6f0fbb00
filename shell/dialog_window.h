#pragma once
// Shows the start-up dialog on the display and runs it until "OK" ends it ("Exit" ends the
// process). Returns false, leaving the window record's defaults alone, when the dialog cannot
// be shown (no font, no window).
#include <cstddef>

#include "shell/dialog_layout.h"

struct SDL_Surface;

bool runSettingsDialog();

// The dialog's font: DejaVu Sans at 8 points on a 96 dpi screen.
inline constexpr const char* kDialogFontPath = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";
inline constexpr int kDialogFontPoints = 8;

// The picture (bitmap resource 108), a BMP built into the program; empty when the build had
// none. The loader returns null for empty or unreadable data.
extern const unsigned char kDialogPictureBmp[];
extern const std::size_t kDialogPictureBmpSize;
SDL_Surface* loadDialogPicture(const unsigned char* data, std::size_t size);

// Where an image of the given size goes in a control: at its own size, centred (it may stick
// out of the control, which clips it).
DialogRect centredImageRect(const DialogRect& control, int imageWidth, int imageHeight);

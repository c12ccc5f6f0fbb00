#include "shell/dialog_window.h"

#include <SDL.h>
#include <SDL_ttf.h>
#include <cstdio>

#include "shell/settings_dialog.h"

namespace {

// The dialog's modal frame around the client area, in pixels.
constexpr int kFrame = 3;
// The square of a check box and the gap to its text, in pixels.
constexpr int kCheckSize = 13;
constexpr int kCheckGap = 4;

constexpr const char* kDialogTitle = "Vellomire Settings";
constexpr const char* kAllLetters = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";

struct Colour {
    Uint8 r, g, b;
};
constexpr Colour kFace{240, 240, 240};
constexpr Colour kHighlight{255, 255, 255};
constexpr Colour kShadow{160, 160, 160};
constexpr Colour kDarkShadow{105, 105, 105};
constexpr Colour kText{0, 0, 0};
constexpr Colour kWindow{255, 255, 255};

// What a shown dialog is made of.
struct DialogView {
    SDL_Window* window = nullptr;
    SDL_Renderer* renderer = nullptr;
    TTF_Font* font = nullptr;
    SDL_Texture* picture = nullptr;
    int pictureWidth = 0;
    int pictureHeight = 0;
    DialogLayout layout;
};

void setColour(SDL_Renderer* const renderer, const Colour colour) {
    SDL_SetRenderDrawColor(renderer, colour.r, colour.g, colour.b, 255);
}

SDL_Rect toScreen(const DialogRect& r) {
    return SDL_Rect{r.x + kFrame, r.y + kFrame, r.width, r.height};
}

void fillRect(SDL_Renderer* const renderer, const SDL_Rect& r, const Colour colour) {
    setColour(renderer, colour);
    SDL_RenderFillRect(renderer, &r);
}

// A 3D edge: `topLeft` on the top and left sides, `bottomRight` on the others.
void drawEdge(SDL_Renderer* const renderer, const SDL_Rect& r, const Colour topLeft,
              const Colour bottomRight) {
    const int right = r.x + r.w - 1;
    const int bottom = r.y + r.h - 1;
    setColour(renderer, topLeft);
    SDL_RenderDrawLine(renderer, r.x, r.y, right, r.y);
    SDL_RenderDrawLine(renderer, r.x, r.y, r.x, bottom);
    setColour(renderer, bottomRight);
    SDL_RenderDrawLine(renderer, r.x, bottom, right, bottom);
    SDL_RenderDrawLine(renderer, right, r.y, right, bottom);
}

SDL_Rect inset(const SDL_Rect& r, const int by) {
    return SDL_Rect{r.x + by, r.y + by, r.w - 2 * by, r.h - 2 * by};
}

// The focus mark: a dotted rectangle.
void drawFocusMark(SDL_Renderer* const renderer, const SDL_Rect& r) {
    setColour(renderer, kText);
    for (int x = r.x; x < r.x + r.w; x += 2) {
        SDL_RenderDrawPoint(renderer, x, r.y);
        SDL_RenderDrawPoint(renderer, x, r.y + r.h - 1);
    }
    for (int y = r.y; y < r.y + r.h; y += 2) {
        SDL_RenderDrawPoint(renderer, r.x, y);
        SDL_RenderDrawPoint(renderer, r.x + r.w - 1, y);
    }
}

// Draws `text` with its top-left corner at (x, y); returns its size.
SDL_Rect drawText(const DialogView& view, const char* const text, const int x, const int y) {
    SDL_Rect where{x, y, 0, 0};
    SDL_Surface* const surface =
        TTF_RenderUTF8_Blended(view.font, text, SDL_Color{kText.r, kText.g, kText.b, 255});
    if (surface == nullptr) {
        return where;
    }
    SDL_Texture* const texture = SDL_CreateTextureFromSurface(view.renderer, surface);
    where.w = surface->w;
    where.h = surface->h;
    SDL_FreeSurface(surface);
    if (texture != nullptr) {
        SDL_RenderCopy(view.renderer, texture, nullptr, &where);
        SDL_DestroyTexture(texture);
    }
    return where;
}

SDL_Rect textSize(const DialogView& view, const char* const text) {
    SDL_Rect size{0, 0, 0, 0};
    TTF_SizeUTF8(view.font, text, &size.w, &size.h);
    return size;
}

void drawPicture(const DialogView& view, const SDL_Rect& r) {
    fillRect(view.renderer, r, kFace);
    const SDL_Rect inner = inset(r, 1);
    if (view.picture != nullptr) {
        const DialogRect place = centredImageRect(DialogRect{inner.x, inner.y, inner.w, inner.h},
                                                  view.pictureWidth, view.pictureHeight);
        const SDL_Rect target{place.x, place.y, place.width, place.height};
        SDL_RenderSetClipRect(view.renderer, &inner);
        SDL_RenderCopy(view.renderer, view.picture, nullptr, &target);
        SDL_RenderSetClipRect(view.renderer, nullptr);
    }
    setColour(view.renderer, kText);
    SDL_RenderDrawRect(view.renderer, &r);
}

void drawGroupBox(const DialogView& view, const SDL_Rect& r, const char* const text) {
    const SDL_Rect label = textSize(view, text);
    const SDL_Rect frame{r.x, r.y + label.h / 2, r.w, r.h - label.h / 2};
    drawEdge(view.renderer, frame, kShadow, kHighlight);
    drawEdge(view.renderer, inset(frame, 1), kHighlight, kShadow);
    const int textX = r.x + 9;
    fillRect(view.renderer, SDL_Rect{textX - 2, r.y, label.w + 4, label.h}, kFace);
    drawText(view, text, textX, r.y);
}

void drawPushButton(const DialogView& view, const SDL_Rect& r, const char* const text,
                    const bool focused, const bool pushed, const bool isDefault) {
    fillRect(view.renderer, r, kFace);
    SDL_Rect body = r;
    if (isDefault) {
        setColour(view.renderer, kText);
        SDL_RenderDrawRect(view.renderer, &body);
        body = inset(body, 1);
    }
    if (pushed) {
        drawEdge(view.renderer, body, kDarkShadow, kHighlight);
        drawEdge(view.renderer, inset(body, 1), kShadow, kFace);
    } else {
        drawEdge(view.renderer, body, kHighlight, kDarkShadow);
        drawEdge(view.renderer, inset(body, 1), kFace, kShadow);
    }
    const SDL_Rect label = textSize(view, text);
    const int shift = pushed ? 1 : 0;
    drawText(view, text, r.x + (r.w - label.w) / 2 + shift, r.y + (r.h - label.h) / 2 + shift);
    if (focused) {
        drawFocusMark(view.renderer, inset(r, 3));
    }
}

void drawCheckBox(const DialogView& view, const SDL_Rect& r, const char* const text,
                  const bool checked, const bool focused) {
    fillRect(view.renderer, r, kFace);
    const SDL_Rect box{r.x, r.y + (r.h - kCheckSize) / 2, kCheckSize, kCheckSize};
    fillRect(view.renderer, box, kWindow);
    drawEdge(view.renderer, box, kShadow, kHighlight);
    drawEdge(view.renderer, inset(box, 1), kDarkShadow, kFace);
    if (checked) {
        setColour(view.renderer, kText);
        for (int d = 0; d < 3; ++d) {
            SDL_RenderDrawLine(view.renderer, box.x + 3, box.y + 5 + d, box.x + 5, box.y + 7 + d);
            SDL_RenderDrawLine(view.renderer, box.x + 5, box.y + 7 + d, box.x + 9, box.y + 3 + d);
        }
    }
    const SDL_Rect label = textSize(view, text);
    const int textX = box.x + kCheckSize + kCheckGap;
    const int textY = r.y + (r.h - label.h) / 2;
    drawText(view, text, textX, textY);
    if (focused) {
        drawFocusMark(view.renderer, SDL_Rect{textX - 1, textY, label.w + 2, label.h});
    }
}

void drawDialog(const DialogView& view, const SettingsDialog& dialog) {
    int width = 0;
    int height = 0;
    SDL_GetWindowSize(view.window, &width, &height);
    fillRect(view.renderer, SDL_Rect{0, 0, width, height}, kFace);
    const SDL_Rect outer{0, 0, width, height};
    drawEdge(view.renderer, outer, kFace, kDarkShadow);
    drawEdge(view.renderer, inset(outer, 1), kHighlight, kShadow);

    for (int i = 0; i < kDialogControlCount; ++i) {
        const DialogControl& control = kDialogControls[i];
        const SDL_Rect r = toScreen(view.layout.controls[i]);
        const bool focused = dialog.focus == i;
        switch (control.kind) {
        case ControlKind::Picture:
            drawPicture(view, r);
            break;
        case ControlKind::GroupBox:
            drawGroupBox(view, r, control.text);
            break;
        case ControlKind::PushButton:
            drawPushButton(view, r, control.text, focused, dialog.pressed == i, control.id == IDOK);
            break;
        case ControlKind::CheckBox:
            drawCheckBox(view, r, control.text, dialog.fullScreenChecked, focused);
            break;
        }
    }
    SDL_RenderPresent(view.renderer);
}

DialogKey dialogKeyFor(const SDL_Keycode key) {
    switch (key) {
    case SDLK_TAB:
        return DialogKey::Tab;
    case SDLK_SPACE:
        return DialogKey::Space;
    case SDLK_RETURN:
    case SDLK_KP_ENTER:
        return DialogKey::Enter;
    case SDLK_ESCAPE:
        return DialogKey::Escape;
    default:
        return DialogKey::Other;
    }
}

void handleEvent(const DialogView& view, SettingsDialog* const dialog, const SDL_Event& event) {
    const Uint32 id = SDL_GetWindowID(view.window);
    switch (event.type) {
    case SDL_KEYDOWN:
        if (event.key.windowID == id) {
            dialogKeyDown(dialog, dialogKeyFor(event.key.keysym.sym),
                          (event.key.keysym.mod & KMOD_SHIFT) != 0);
        }
        break;
    case SDL_MOUSEBUTTONDOWN:
        if (event.button.windowID == id && event.button.button == SDL_BUTTON_LEFT) {
            dialogMouseDown(dialog, view.layout, event.button.x - kFrame, event.button.y - kFrame);
        }
        break;
    case SDL_MOUSEBUTTONUP:
        if (event.button.windowID == id && event.button.button == SDL_BUTTON_LEFT) {
            dialogMouseUp(dialog, view.layout, event.button.x - kFrame, event.button.y - kFrame);
        }
        break;
    case SDL_QUIT:
        // Asked to end (a signal, or the window manager closing the dialog): as "Exit".
        clickControl(dialog, controlIndex(IDC_EXIT));
        break;
    default:
        break;
    }
}

bool openView(DialogView* const view) {
    if (TTF_Init() != 0) {
        std::fprintf(stderr, "vellomire: the dialog's text cannot be drawn: %s\n", TTF_GetError());
        return false;
    }
    view->font = TTF_OpenFontDPI(kDialogFontPath, kDialogFontPoints, 96, 96);
    if (view->font == nullptr) {
        std::fprintf(stderr, "vellomire: the dialog font %s cannot be opened: %s\n",
                     kDialogFontPath, TTF_GetError());
        return false;
    }
    int lettersWidth = 0;
    TTF_SizeUTF8(view->font, kAllLetters, &lettersWidth, nullptr);
    view->layout = layoutDialog(baseUnitsFor(lettersWidth, TTF_FontHeight(view->font)));
    view->window =
        SDL_CreateWindow(kDialogTitle, SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED,
                         view->layout.width + 2 * kFrame, view->layout.height + 2 * kFrame,
                         SDL_WINDOW_BORDERLESS | SDL_WINDOW_ALWAYS_ON_TOP);
    if (view->window == nullptr) {
        std::fprintf(stderr, "vellomire: the dialog window cannot be made: %s\n", SDL_GetError());
        return false;
    }
    view->renderer = SDL_CreateRenderer(view->window, -1, SDL_RENDERER_SOFTWARE);
    if (view->renderer == nullptr) {
        std::fprintf(stderr, "vellomire: the dialog cannot be drawn: %s\n", SDL_GetError());
        return false;
    }
    SDL_Surface* const picture = loadDialogPicture(kDialogPictureBmp, kDialogPictureBmpSize);
    if (picture != nullptr) {
        view->picture = SDL_CreateTextureFromSurface(view->renderer, picture);
        view->pictureWidth = picture->w;
        view->pictureHeight = picture->h;
        SDL_FreeSurface(picture);
    }
    return true;
}

void closeView(DialogView* const view) {
    if (view->picture != nullptr) {
        SDL_DestroyTexture(view->picture);
    }
    if (view->renderer != nullptr) {
        SDL_DestroyRenderer(view->renderer);
    }
    if (view->window != nullptr) {
        SDL_DestroyWindow(view->window);
    }
    if (view->font != nullptr) {
        TTF_CloseFont(view->font);
    }
    if (TTF_WasInit() != 0) {
        TTF_Quit();
    }
    *view = DialogView{};
}

} // namespace

SDL_Surface* loadDialogPicture(const unsigned char* const data, const std::size_t size) {
    if (data == nullptr || size == 0) {
        return nullptr;
    }
    SDL_RWops* const stream = SDL_RWFromConstMem(data, static_cast<int>(size));
    return stream != nullptr ? SDL_LoadBMP_RW(stream, 1) : nullptr;
}

DialogRect centredImageRect(const DialogRect& control, const int imageWidth,
                            const int imageHeight) {
    return DialogRect{control.x + (control.width - imageWidth) / 2,
                      control.y + (control.height - imageHeight) / 2, imageWidth, imageHeight};
}

bool runSettingsDialog() {
    DialogView view;
    if (!openView(&view)) {
        closeView(&view);
        return false;
    }
    SettingsDialog dialog;
    settingsDialogProc(&dialog, WM_INITDIALOG, 0, 0);
    SDL_RaiseWindow(view.window);
    SDL_SetWindowInputFocus(view.window);
    drawDialog(view, dialog);
    SDL_Event event;
    while (!dialog.ended && SDL_WaitEvent(&event) != 0) {
        handleEvent(view, &dialog, event);
        drawDialog(view, dialog);
    }
    closeView(&view);
    // Leave no dialog events behind for the show's window.
    SDL_FlushEvents(SDL_FIRSTEVENT, SDL_LASTEVENT);
    return true;
}

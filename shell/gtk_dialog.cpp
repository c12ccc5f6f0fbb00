#include "shell/gtk_dialog.h"

#include <cstddef>
#include <cstdio>
#include <gtk/gtk.h>

#include "shell/settings_dialog.h"

// The picture, a BMP built into the program; empty when the build had none.
extern const unsigned char kDialogPictureBmp[];
extern const std::size_t kDialogPictureBmpSize;

namespace {

constexpr int kSpacing = 8;

struct DialogRun {
    bool ended = false;
    DialogEnd end = DialogEnd::Exit;
};

void onOk(GtkButton*, DialogRun* const run) {
    *run = DialogRun{true, DialogEnd::Ok};
}

void onExit(GtkButton*, DialogRun* const run) {
    *run = DialogRun{true, DialogEnd::Exit};
}

// Closed through the window manager (close box, Alt+F4): as "Exit". The window stays until
// the dialog ends.
gboolean onClose(GtkWidget*, GdkEvent*, DialogRun* const run) {
    *run = DialogRun{true, DialogEnd::Exit};
    return TRUE;
}

// The picture at its own size, drawn `scale` screen pixels to a picture pixel, as sharp as
// the picture itself; null when the built-in bytes are no picture.
GtkWidget* makePicture(const int scale) {
    GdkPixbufLoader* const loader = gdk_pixbuf_loader_new();
    // A failed write closes the loader itself.
    const bool loaded =
        gdk_pixbuf_loader_write(loader, kDialogPictureBmp, kDialogPictureBmpSize, nullptr) &&
        gdk_pixbuf_loader_close(loader, nullptr);
    const GdkPixbuf* const picture = loaded ? gdk_pixbuf_loader_get_pixbuf(loader) : nullptr;
    GtkWidget* image = nullptr;
    if (picture != nullptr) {
        GdkPixbuf* const pixels =
            gdk_pixbuf_scale_simple(picture, gdk_pixbuf_get_width(picture) * scale,
                                    gdk_pixbuf_get_height(picture) * scale, GDK_INTERP_NEAREST);
        cairo_surface_t* const surface =
            gdk_cairo_surface_create_from_pixbuf(pixels, scale, nullptr);
        image = gtk_image_new_from_surface(surface);
        cairo_surface_destroy(surface);
        g_object_unref(pixels);
    }
    g_object_unref(loader);
    return image;
}

// The dialog's window: the picture in a frame over the "Settings" group with the check box,
// "OK" (the default button, pressed by Enter) and "Exit".
GtkWidget* makeDialog(DialogRun* const run, GtkWidget** const fullScreenBox) {
    GtkWidget* const window = gtk_window_new(GTK_WINDOW_TOPLEVEL);
    gtk_window_set_title(GTK_WINDOW(window), "Vellomire Settings");
    gtk_window_set_resizable(GTK_WINDOW(window), FALSE);
    gtk_window_set_position(GTK_WINDOW(window), GTK_WIN_POS_CENTER);
    gtk_window_set_type_hint(GTK_WINDOW(window), GDK_WINDOW_TYPE_HINT_DIALOG);
    gtk_container_set_border_width(GTK_CONTAINER(window), kSpacing);
    g_signal_connect(window, "delete-event", G_CALLBACK(onClose), run);

    GtkWidget* const column = gtk_box_new(GTK_ORIENTATION_VERTICAL, kSpacing);
    gtk_container_add(GTK_CONTAINER(window), column);
    GtkWidget* const pictureFrame = gtk_frame_new(nullptr);
    gtk_frame_set_shadow_type(GTK_FRAME(pictureFrame), GTK_SHADOW_IN);
    if (GtkWidget* const picture = makePicture(gtk_widget_get_scale_factor(window))) {
        gtk_container_add(GTK_CONTAINER(pictureFrame), picture);
    }
    gtk_box_pack_start(GTK_BOX(column), pictureFrame, FALSE, FALSE, 0);

    GtkWidget* const group = gtk_frame_new("Settings");
    gtk_box_pack_start(GTK_BOX(column), group, FALSE, FALSE, 0);
    GtkWidget* const controls = gtk_box_new(GTK_ORIENTATION_VERTICAL, kSpacing / 2);
    gtk_container_set_border_width(GTK_CONTAINER(controls), kSpacing);
    gtk_widget_set_margin_start(controls, 3 * kSpacing);
    gtk_widget_set_margin_end(controls, 3 * kSpacing);
    gtk_container_add(GTK_CONTAINER(group), controls);

    *fullScreenBox = gtk_check_button_new_with_label("FullScreen");
    gtk_widget_set_halign(*fullScreenBox, GTK_ALIGN_CENTER);
    gtk_box_pack_start(GTK_BOX(controls), *fullScreenBox, FALSE, FALSE, 0);
    GtkWidget* const ok = gtk_button_new_with_label("OK");
    g_signal_connect(ok, "clicked", G_CALLBACK(onOk), run);
    gtk_widget_set_can_default(ok, TRUE);
    gtk_style_context_add_class(gtk_widget_get_style_context(ok), GTK_STYLE_CLASS_SUGGESTED_ACTION);
    gtk_box_pack_start(GTK_BOX(controls), ok, FALSE, FALSE, 0);
    GtkWidget* const exit = gtk_button_new_with_label("Exit");
    g_signal_connect(exit, "clicked", G_CALLBACK(onExit), run);
    gtk_box_pack_start(GTK_BOX(controls), exit, FALSE, FALSE, 0);
    gtk_window_set_default(GTK_WINDOW(window), ok);
    return window;
}

} // namespace

bool runSettingsDialog() {
    // The program keeps the "C" locale: numbers in the show's files read alike everywhere, and
    // the window titles stay plain text for the desktop's tools.
    gtk_disable_setlocale();
    if (gtk_init_check(nullptr, nullptr) == FALSE) {
        std::fputs("vellomire: the settings dialog cannot open the display\n", stderr);
        return false;
    }
    DialogRun run;
    GtkWidget* fullScreenBox = nullptr;
    GtkWidget* const window = makeDialog(&run, &fullScreenBox);
    gtk_widget_show_all(window);
    gtk_window_present(GTK_WINDOW(window));
    while (!run.ended) {
        gtk_main_iteration();
    }
    const bool fullScreenChecked =
        gtk_toggle_button_get_active(GTK_TOGGLE_BUTTON(fullScreenBox)) != FALSE;
    // Nothing of GTK stays on the screen or waits to run: the window is destroyed, its last
    // events handled and the display has seen it go. (Closing GTK's display connection too
    // makes GTK 3 complain about its own settings objects; the connection just stays idle.)
    gtk_widget_destroy(window);
    while (gtk_events_pending() != FALSE) {
        gtk_main_iteration();
    }
    gdk_display_sync(gdk_display_get_default());
    endSettingsDialog(run.end, fullScreenChecked);
    return true;
}

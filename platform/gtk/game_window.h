// The game's main window on GTK 4: the menu bar, the board's drawing area, typed keys and message boxes.
#pragma once

#include <gtk/gtk.h>

#include <string>

#include "shell/platform.h"

class GtkGameWindow final : public Window {
public:
    // Builds the window for `app` and shows it; the game is started separately with newGame.
    explicit GtkGameWindow(GtkApplication* app);
    ~GtkGameWindow() override;
    GtkGameWindow(const GtkGameWindow&) = delete;
    GtkGameWindow& operator=(const GtkGameWindow&) = delete;

    void showMessage(const std::string& text, const std::string& caption) override;
    void requestRepaint() override;
    void close() override;

private:
    static void draw(GtkDrawingArea* area, cairo_t* cr, int width, int height, gpointer self);
    static gboolean keyPressed(GtkEventControllerKey* keys, guint keyval, guint keycode, GdkModifierType state,
                               gpointer self);
    static gboolean closeRequested(GtkWindow* window, gpointer self);

    GtkApplication* app_;
    GtkWindow* window_;  // a reference of our own, so that a late request never meets a freed window
    GtkWidget* board_;
};

// The shell's texts use Windows line breaks; GTK shows "\r" as a visible glyph.
std::string withPlainLineBreaks(const std::string& text);

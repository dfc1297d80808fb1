// The game's main window on GTK 4.
#include "platform/gtk/game_window.h"

#include "platform/gtk/cairo_canvas.h"
#include "platform/gtk/main_menu.h"
#include "shell/board_painter.h"
#include "shell/game_shell.h"

namespace {

// The menu bar stands apart from the board, so that a gap in the board's top wall shows below its
// border. A box gets the room above its text that the empty title bar of a client-side decorated
// message dialog gives it, also where the title bar is the window manager's or there is none.
constexpr const char* kStyle =
    "menubar { margin-bottom: 4px; }\n"
    "window.dialog.message:not(.csd) box.dialog-vbox { margin-top: 20px; }\n";

void applyStyle() {
    static bool applied = false;
    if (applied) return;
    applied = true;
    GtkCssProvider* style = gtk_css_provider_new();
    gtk_css_provider_load_from_data(style, kStyle, -1);
    gtk_style_context_add_provider_for_display(gdk_display_get_default(), GTK_STYLE_PROVIDER(style),
                                               GTK_STYLE_PROVIDER_PRIORITY_APPLICATION);
    g_object_unref(style);
}

struct PendingBox {
    GtkWindow* owner;
    std::string text;
    std::string caption;
};

void openBox(gpointer data) {
    auto* box = static_cast<PendingBox*>(data);
    // No icon and a single OK button, as MessageBoxA with MB_OK shows it.
    constexpr auto kFlags = static_cast<GtkDialogFlags>(GTK_DIALOG_MODAL | GTK_DIALOG_DESTROY_WITH_PARENT);
    GtkWidget* dialog = gtk_message_dialog_new(box->owner, kFlags,
                                               GTK_MESSAGE_OTHER, GTK_BUTTONS_OK, "%s", box->text.c_str());
    gtk_window_set_title(GTK_WINDOW(dialog), box->caption.c_str());
    g_signal_connect(dialog, "response", G_CALLBACK(gtk_window_destroy), nullptr);
    gtk_window_present(GTK_WINDOW(dialog));
    g_object_unref(box->owner);
    delete box;
}

}  // namespace

std::string withPlainLineBreaks(const std::string& text) {
    std::string plain;
    plain.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') continue;
        plain += text[i];
    }
    return plain;
}

GtkGameWindow::GtkGameWindow(GtkApplication* app) : app_(app) {
    applyStyle();
    GMenuModel* menu = buildMainMenu();
    gtk_application_set_menubar(app, menu);
    g_object_unref(menu);

    GtkWidget* window = gtk_application_window_new(app);
    window_ = GTK_WINDOW(g_object_ref(window));
    gtk_window_set_title(window_, kWindowTitle);
    gtk_application_window_set_show_menubar(GTK_APPLICATION_WINDOW(window), TRUE);
    addMenuActions(G_ACTION_MAP(window), *this);

    board_ = gtk_drawing_area_new();
    gtk_drawing_area_set_content_width(GTK_DRAWING_AREA(board_), kBoardAreaWidth);
    gtk_drawing_area_set_content_height(GTK_DRAWING_AREA(board_), kBoardAreaHeight);
    gtk_widget_set_hexpand(board_, TRUE);
    gtk_widget_set_vexpand(board_, TRUE);
    gtk_drawing_area_set_draw_func(GTK_DRAWING_AREA(board_), draw, this, nullptr);
    // The board's size is only the window's first size: the player may make the window smaller
    // than that as well as larger, and whatever does not fit is cut off, never scaled.
    GtkWidget* clip = gtk_scrolled_window_new();
    gtk_scrolled_window_set_policy(GTK_SCROLLED_WINDOW(clip), GTK_POLICY_EXTERNAL, GTK_POLICY_EXTERNAL);
    gtk_scrolled_window_set_propagate_natural_width(GTK_SCROLLED_WINDOW(clip), TRUE);
    gtk_scrolled_window_set_propagate_natural_height(GTK_SCROLLED_WINDOW(clip), TRUE);
    gtk_scrolled_window_set_child(GTK_SCROLLED_WINDOW(clip), board_);
    gtk_window_set_child(window_, clip);

    GtkEventController* keys = gtk_event_controller_key_new();
    g_signal_connect(keys, "key-pressed", G_CALLBACK(keyPressed), this);
    gtk_widget_add_controller(window, keys);
    g_signal_connect(window, "close-request", G_CALLBACK(closeRequested), this);

    gtk_window_present(window_);
}

GtkGameWindow::~GtkGameWindow() { g_object_unref(window_); }

void GtkGameWindow::showMessage(const std::string& text, const std::string& caption) {
    // paintBoard asks for the end box from inside the draw handler, where no window may be
    // opened: the box opens as soon as the main loop is free, and this returns at once.
    auto* box = new PendingBox{GTK_WINDOW(g_object_ref(window_)), withPlainLineBreaks(text), caption};
    g_idle_add_once(openBox, box);
}

void GtkGameWindow::requestRepaint() { gtk_widget_queue_draw(board_); }

void GtkGameWindow::close() {
    gtk_window_destroy(window_);
    g_application_quit(G_APPLICATION(app_));
}

void GtkGameWindow::draw(GtkDrawingArea*, cairo_t* cr, int, int, gpointer self) {
    clearToWhite(cr);
    CairoCanvas canvas(cr);
    paintBoard(*static_cast<GtkGameWindow*>(self), canvas);
}

gboolean GtkGameWindow::keyPressed(GtkEventControllerKey*, guint keyval, guint, GdkModifierType state,
                                   gpointer self) {
    // Alt combinations and keys without a character (Shift, arrows, F keys) type nothing on
    // Windows either; Ctrl with a letter types its control character.
    if (state & GDK_ALT_MASK) return FALSE;
    gunichar ch = gdk_keyval_to_unicode(keyval);
    if (ch == 0) return FALSE;
    if ((state & GDK_CONTROL_MASK) && g_unichar_isalpha(ch) && ch < 0x80) ch &= 0x1f;
    handleTypedCharacter(*static_cast<GtkGameWindow*>(self), static_cast<int>(ch));
    return TRUE;
}

gboolean GtkGameWindow::closeRequested(GtkWindow*, gpointer self) {
    quitRequested = true;
    static_cast<GtkGameWindow*>(self)->close();
    return TRUE;
}

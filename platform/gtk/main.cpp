// corvel: the game in a GTK 4 window; the main loop is GTK's own, so the program sleeps until an event.
#include <gtk/gtk.h>

#include <memory>

#include "platform/gtk/game_window.h"
#include "shell/game_shell.h"

namespace {

constexpr const char* kApplicationId = "net.corvelgame.Corvel";

// The accessibility bus is found through the session bus. Where none runs (a bare X server), GTK
// would warn about it at every start, to a player who never asked for one: without a session bus
// there is no screen reader to serve, so the game starts without accessibility, quietly.
void withoutAccessibilityWhereNoSessionBus() {
    if (g_getenv("GTK_A11Y") != nullptr || g_getenv("AT_SPI_BUS_ADDRESS") != nullptr) return;
    GError* error = nullptr;
    GDBusConnection* session = g_bus_get_sync(G_BUS_TYPE_SESSION, nullptr, &error);
    if (session != nullptr) {
        g_object_unref(session);
        return;
    }
    g_error_free(error);
    g_setenv("GTK_A11Y", "none", TRUE);
}

void activate(GtkApplication* app, gpointer slot) {
    auto& window = *static_cast<std::unique_ptr<GtkGameWindow>*>(slot);
    if (window) return;
    window = std::make_unique<GtkGameWindow>(app);
    newGame(*window);  // the level is loaded before the first paint
}

}  // namespace

int main() {
    withoutAccessibilityWhereNoSessionBus();
    // Each start is a game of its own, as on Windows: no forwarding to a running instance.
    GtkApplication* app = gtk_application_new(kApplicationId, G_APPLICATION_NON_UNIQUE);
    std::unique_ptr<GtkGameWindow> window;
    g_signal_connect(app, "activate", G_CALLBACK(activate), &window);
    // The command line is not the game's: nothing of it is passed on.
    g_application_run(G_APPLICATION(app), 0, nullptr);
    window.reset();
    g_object_unref(app);
    return 0;
}

// The menu bar as data, the actions behind its items.
#include "platform/gtk/main_menu.h"

#include <span>
#include <string>

#include "shell/game_shell.h"

namespace {

struct MenuItem {
    const char* label;
    const char* action;  // the action's name in the window's action group
    Command command;
};

// Each inner list is one section; GTK draws a separator between sections.
constexpr MenuItem kFileNew[] = {{"New Game", "new-game", Command::NewGame}};
constexpr MenuItem kFileExit[] = {{"Exit", "exit", Command::Exit}};
constexpr MenuItem kHelp[] = {{"Instructions", "instructions", Command::Instructions}};

struct Menu {
    const char* label;
    std::span<const MenuItem> sections[2];
};

constexpr Menu kMenus[] = {
    {"File", {kFileNew, kFileExit}},
    {"Help", {kHelp, {}}},
};

void activate(GSimpleAction* action, GVariant*, gpointer window) {
    const int command = GPOINTER_TO_INT(g_object_get_data(G_OBJECT(action), "corvel-command"));
    handleCommand(*static_cast<Window*>(window), static_cast<Command>(command));
}

}  // namespace

GMenuModel* buildMainMenu() {
    GMenu* bar = g_menu_new();
    for (const Menu& menu : kMenus) {
        GMenu* items = g_menu_new();
        for (std::span<const MenuItem> section : menu.sections) {
            if (section.empty()) continue;
            GMenu* part = g_menu_new();
            for (const MenuItem& item : section)
                g_menu_append(part, item.label, (std::string("win.") + item.action).c_str());
            g_menu_append_section(items, nullptr, G_MENU_MODEL(part));
            g_object_unref(part);
        }
        g_menu_append_submenu(bar, menu.label, G_MENU_MODEL(items));
        g_object_unref(items);
    }
    return G_MENU_MODEL(bar);
}

void addMenuActions(GActionMap* actions, Window& window) {
    for (const Menu& menu : kMenus) {
        for (std::span<const MenuItem> section : menu.sections) {
            for (const MenuItem& item : section) {
                GSimpleAction* action = g_simple_action_new(item.action, nullptr);
                g_object_set_data(G_OBJECT(action), "corvel-command", GINT_TO_POINTER(static_cast<int>(item.command)));
                g_signal_connect(action, "activate", G_CALLBACK(activate), &window);
                g_action_map_add_action(actions, G_ACTION(action));
                g_object_unref(action);
            }
        }
    }
}

// The menu bar as data: each item names one action, and each action runs one of the shell's menu commands.
#pragma once

#include <gtk/gtk.h>

#include "shell/platform.h"

// "File" (New Game, a separator, Exit) and "Help" (Instructions); items name "win." actions.
GMenuModel* buildMainMenu();

// Adds to `actions` one action per item, each passing its command to handleCommand.
void addMenuActions(GActionMap* actions, Window& window);

/* Identifiers shared by the menu resource and the code that answers its commands. */
#pragma once

#define IDR_MAINMENU 101

#define ID_FILE_NEWGAME 40002
#define ID_FILE_EXIT 40003
#define ID_HELP_INSTRUCTIONS 40004

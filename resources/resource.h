/* Identifiers shared by the resources and the code that uses them. */
#pragma once

#define IDR_MAINMENU 101
/* The exe's icon, as Explorer shows the file: the first icon group of the exe. */
#define IDI_CORVEL 1

#define ID_FILE_NEWGAME 40002
#define ID_FILE_EXIT 40003
#define ID_HELP_INSTRUCTIONS 40004

// The Windows program's entry: the window, the first game, then the message loop.
#include <windows.h>

#include "platform/win32/main_window.h"
#include "platform/win32/win32_window.h"
#include "shell/game_shell.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    registerMainWindowClass();
    HWND hwnd = createMainWindow(instance);
    ShowWindow(hwnd, SW_SHOW);
    // Loaded before the loop runs, so the very first paint already shows the board.
    Win32Window window(hwnd);
    newGame(window);
    runMessageLoop();
    return 0;
}

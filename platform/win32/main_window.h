// The main window: its class, its window procedure and the message loop that drives it.
#pragma once

#include <windows.h>

inline constexpr const char* kMainWindowClass = "Main Window";
// The outer size of the window, whatever the board's size.
inline constexpr int kMainWindowWidth = 189;
inline constexpr int kMainWindowHeight = 257;

void registerMainWindowClass();
HWND createMainWindow(HINSTANCE instance);
LRESULT CALLBACK mainWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
// Runs until the player quits; sleeps whenever there is nothing to do.
void runMessageLoop();

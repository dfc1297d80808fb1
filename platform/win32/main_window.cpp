// The main window: class registration, creation, one handler per message, and the message loop.
#include "platform/win32/main_window.h"

#include "platform/win32/gdi_canvas.h"
#include "platform/win32/menu_commands.h"
#include "platform/win32/win32_window.h"
#include "resources/resource.h"
#include "shell/board_painter.h"
#include "shell/game_shell.h"

namespace {

void onChar(HWND hwnd, WPARAM ch) {
    Win32Window window(hwnd);
    handleTypedCharacter(window, static_cast<int>(ch));
}

void onPaint(HWND hwnd) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(hwnd, &ps);
    Win32Window window(hwnd);
    GdiCanvas canvas(dc, ps.rcPaint);
    paintBoard(window, canvas);
    EndPaint(hwnd, &ps);
}

void onCommand(HWND hwnd, WPARAM wParam) {
    Win32Window window(hwnd);
    if (const auto command = commandOfMenuItem(LOWORD(wParam))) handleCommand(window, *command);
}

void onClose(HWND hwnd) {
    // Closing the window is the same as choosing File > Exit.
    Win32Window window(hwnd);
    handleCommand(window, Command::Exit);
}

}  // namespace

void registerMainWindowClass() {
    WNDCLASSEXA wc{};
    wc.cbSize = sizeof wc;
    wc.style = 0;
    wc.lpfnWndProc = mainWindowProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    wc.lpszMenuName = MAKEINTRESOURCEA(IDR_MAINMENU);
    wc.lpszClassName = kMainWindowClass;
    RegisterClassExA(&wc);
}

HWND createMainWindow(HINSTANCE instance) {
    return CreateWindowExA(0, kMainWindowClass, kWindowTitle, WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, CW_USEDEFAULT,
                           kMainWindowWidth, kMainWindowHeight, nullptr, nullptr, instance, nullptr);
}

LRESULT CALLBACK mainWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_CHAR:
            onChar(hwnd, wParam);
            return 0;
        case WM_PAINT:
            onPaint(hwnd);
            return 0;
        case WM_CLOSE:
            onClose(hwnd);
            return 0;
        case WM_COMMAND:
            onCommand(hwnd, wParam);
            return 0;
        default:
            // WM_DESTROY too: the loop ends on quitRequested, not on a quit message.
            return DefWindowProcA(hwnd, message, wParam, lParam);
    }
}

void runMessageLoop() {
    MSG msg;
    while (!quitRequested) {
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        // The queue is empty: sleep until something arrives instead of polling, so that the
        // game uses no processor while the player thinks.
        if (!quitRequested) WaitMessage();
    }
}

// The main window's primitives for the shell's rules.
#include "platform/win32/win32_window.h"

void Win32Window::showMessage(const std::string& text, const std::string& caption) {
    // Owned by the main window, so the window takes no input until the box is answered.
    MessageBoxA(hwnd_, text.c_str(), caption.c_str(), MB_OK);
}

void Win32Window::requestRepaint() {
    // The whole client area, erased to the class brush first: the painter never clears.
    RedrawWindow(hwnd_, nullptr, nullptr, RDW_ERASE | RDW_INVALIDATE);
}

void Win32Window::close() { DestroyWindow(hwnd_); }

std::string Win32Window::levelFolder() const {
    // In the code page the boxes are shown in, which the standard library's UTF-8 would not match.
    char folder[MAX_PATH];
    DWORD length = GetCurrentDirectoryA(MAX_PATH, folder);
    return length > 0 && length < MAX_PATH ? std::string(folder, length) : std::string(".");
}

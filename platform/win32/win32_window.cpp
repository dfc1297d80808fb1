// The main window's primitives for the shell's rules.
#include "platform/win32/win32_window.h"

#include <vector>

namespace {

// The shell speaks UTF-8 (a level's name and quoted text may hold any character); the wide
// functions show it whatever the system's code page is.
std::wstring wide(const std::string& text) {
    int length = MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring out(static_cast<std::size_t>(length > 0 ? length : 0), L'\0');
    if (length > 0) MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), length);
    return out;
}

std::string utf8(const wchar_t* text, int length) {
    int bytes = WideCharToMultiByte(CP_UTF8, 0, text, length, nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<std::size_t>(bytes > 0 ? bytes : 0), '\0');
    if (bytes > 0) WideCharToMultiByte(CP_UTF8, 0, text, length, out.data(), bytes, nullptr, nullptr);
    return out;
}

}  // namespace

void Win32Window::showMessage(const std::string& text, const std::string& caption) {
    // Owned by the main window, so the window takes no input until the box is answered.
    MessageBoxW(hwnd_, wide(text).c_str(), wide(caption).c_str(), MB_OK);
}

void Win32Window::requestRepaint() {
    // The whole client area, erased to the class brush first: the painter never clears.
    RedrawWindow(hwnd_, nullptr, nullptr, RDW_ERASE | RDW_INVALIDATE);
}

void Win32Window::close() { DestroyWindow(hwnd_); }

std::string Win32Window::levelFolder() const {
    // In UTF-8, as the shell's texts are: a folder named in any language shows as it is.
    DWORD length = GetCurrentDirectoryW(0, nullptr);
    if (length == 0) return ".";
    std::vector<wchar_t> folder(length);
    length = GetCurrentDirectoryW(length, folder.data());
    return length > 0 && length < folder.size() ? utf8(folder.data(), static_cast<int>(length)) : std::string(".");
}

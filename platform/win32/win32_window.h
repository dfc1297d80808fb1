// The main window as the shell's rules see it: message boxes, repaints and closing, in USER32.
#pragma once

#include <windows.h>

#include "shell/platform.h"

class Win32Window final : public Window {
public:
    explicit Win32Window(HWND hwnd) : hwnd_(hwnd) {}

    void showMessage(const std::string& text, const std::string& caption) override;
    void requestRepaint() override;
    void close() override;
    std::string levelFolder() const override;

private:
    HWND hwnd_;
};

// What a front-end gives the board painter and the shell's rules: a canvas for one paint and a window.
#pragma once

#include <cstdint>
#include <string>

struct Rgb {
    std::uint8_t r = 0;
    std::uint8_t g = 0;
    std::uint8_t b = 0;
    friend bool operator==(const Rgb&, const Rgb&) = default;
};

inline constexpr Rgb kBlack{0, 0, 0};
inline constexpr Rgb kWhite{255, 255, 255};
inline constexpr Rgb kHeroRed{255, 0, 0};

// A rectangle of client pixels; right and bottom are excluded.
struct PixelRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
};

// The surface of one paint. Drawing outside the area to be repainted is allowed and clipped.
class Canvas {
public:
    virtual ~Canvas() = default;
    virtual void fillBlackRect(int x, int y, int width, int height) = 0;
    // A disc as Ellipse(left, top, right, bottom) draws it: inside the box with its right and
    // bottom edges excluded, filled with `fill` and outlined with a 1-pixel black line.
    virtual void fillDisc(int left, int top, int right, int bottom, Rgb fill) = 0;
    // The area this paint must cover (the clip box); everything outside it is already on screen.
    virtual PixelRect paintArea() const = 0;
};

// The main window, as the shell's rules need it.
class Window {
public:
    virtual ~Window() = default;
    // A modal box with an OK button, owned by the window: the player can do nothing else in the
    // window until it is dismissed. A front-end whose toolkit has no blocking dialogs may return
    // while the box is still open. The window may be asked to repaint while the box is open.
    virtual void showMessage(const std::string& text, const std::string& caption) = 0;
    // The whole client area is to be erased to the background and painted again.
    virtual void requestRepaint() = 0;
    // The window is to be destroyed; the program ends once its event loop sees quitRequested.
    virtual void close() = 0;
    // The folder the level file is read from (the current one), absolute, as the boxes can show it.
    virtual std::string levelFolder() const;
};

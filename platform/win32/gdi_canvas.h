// The board painter's canvas on a Windows device context, for one WM_PAINT.
#pragma once

#include <windows.h>

#include "shell/platform.h"

class GdiCanvas final : public Canvas {
public:
    // `dc` and `paintArea` as BeginPaint returned them; the canvas owns neither.
    GdiCanvas(HDC dc, const RECT& paintArea) : dc_(dc), paintArea_(paintArea) {}

    void fillBlackRect(int x, int y, int width, int height) override;
    void fillDisc(int left, int top, int right, int bottom, Rgb fill) override;
    PixelRect paintArea() const override;

private:
    HDC dc_;
    RECT paintArea_;
};

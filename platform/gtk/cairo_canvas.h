// The board painter's canvas on a cairo context: walls exact to the pixel, discs filled and outlined in black.
#pragma once

#include <cairo.h>

#include "shell/platform.h"

class CairoCanvas final : public Canvas {
public:
    // Paints on `cr` as it is; the caller has already cleared the background.
    explicit CairoCanvas(cairo_t* cr);

    void fillBlackRect(int x, int y, int width, int height) override;
    void fillDisc(int left, int top, int right, int bottom, Rgb fill) override;
    PixelRect paintArea() const override;

private:
    cairo_t* cr_;
};

// Clears the whole area to the board's white background, as the Windows class brush does.
void clearToWhite(cairo_t* cr);

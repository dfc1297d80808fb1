// An in-memory RGB picture of the window's client area, painted the way the Windows program paints it.
#pragma once

#include <cstdint>
#include <vector>

#include "shell/platform.h"

class RasterCanvas final : public Canvas {
public:
    // A white picture, as the window's background brush leaves it; the whole picture is to be painted.
    RasterCanvas(int width, int height);

    // Narrows what the next paint must cover, as a partly uncovered window would.
    void setPaintArea(PixelRect area) { area_ = area; }

    void fillBlackRect(int x, int y, int width, int height) override;
    void fillDisc(int left, int top, int right, int bottom, Rgb fill) override;
    PixelRect paintArea() const override { return area_; }

    int width() const { return width_; }
    int height() const { return height_; }
    Rgb pixel(int x, int y) const;
    // Rows from the top, three bytes (red, green, blue) a pixel.
    const std::vector<std::uint8_t>& rgbBytes() const { return pixels_; }

private:
    void put(int x, int y, Rgb colour);

    int width_;
    int height_;
    PixelRect area_;
    std::vector<std::uint8_t> pixels_;
};

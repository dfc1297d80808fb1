// An in-memory picture of the window's client area, painted the way the Windows program paints it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "shell/platform.h"

// Three bytes a pixel (red, green, blue), as a PNG file takes them; or four, with an alpha byte
// always opaque, as a web page's ImageData takes them, so that no pass copies one into the other.
enum class PixelLayout { Rgb, Rgba };

class RasterCanvas final : public Canvas {
public:
    // A white picture, as the window's background brush leaves it; the whole picture is to be painted.
    RasterCanvas(int width, int height, PixelLayout layout = PixelLayout::Rgb);

    // Narrows what the next paint must cover, as a partly uncovered window would.
    void setPaintArea(PixelRect area) { area_ = area; }

    void fillBlackRect(int x, int y, int width, int height) override;
    void fillDisc(int left, int top, int right, int bottom, Rgb fill) override;
    PixelRect paintArea() const override { return area_; }

    int width() const { return width_; }
    int height() const { return height_; }
    Rgb pixel(int x, int y) const;
    // Rows from the top, bytesPerPixel() bytes a pixel in the picture's layout.
    const std::vector<std::uint8_t>& bytes() const { return pixels_; }
    int bytesPerPixel() const { return bytesPerPixel_; }

private:
    std::size_t offsetOf(int x, int y) const;
    void put(int x, int y, Rgb colour);

    int width_;
    int height_;
    int bytesPerPixel_;
    PixelRect area_;
    std::vector<std::uint8_t> pixels_;
};

// The in-memory picture: rectangles exact to the pixel, discs as the window's Ellipse draws them.
#include "platform/raster/raster_canvas.h"

#include <algorithm>

// White is every byte 255, its alpha included.
RasterCanvas::RasterCanvas(int width, int height, PixelLayout layout)
    : width_(std::max(width, 0)),
      height_(std::max(height, 0)),
      bytesPerPixel_(layout == PixelLayout::Rgba ? 4 : 3),
      area_{0, 0, width_, height_},
      pixels_(static_cast<std::size_t>(width_) * static_cast<std::size_t>(height_) * static_cast<std::size_t>(bytesPerPixel_),
              255) {}

std::size_t RasterCanvas::offsetOf(int x, int y) const {
    return (static_cast<std::size_t>(y) * static_cast<std::size_t>(width_) + static_cast<std::size_t>(x)) *
           static_cast<std::size_t>(bytesPerPixel_);
}

Rgb RasterCanvas::pixel(int x, int y) const {
    std::size_t at = offsetOf(x, y);
    return {pixels_[at], pixels_[at + 1], pixels_[at + 2]};
}

// Only the colour: an alpha byte stays opaque.
void RasterCanvas::put(int x, int y, Rgb colour) {
    std::size_t at = offsetOf(x, y);
    pixels_[at] = colour.r;
    pixels_[at + 1] = colour.g;
    pixels_[at + 2] = colour.b;
}

void RasterCanvas::fillBlackRect(int x, int y, int width, int height) {
    // Clipped to the picture and to the area being painted, as a device context clips.
    int left = std::max({x, area_.left, 0});
    int top = std::max({y, area_.top, 0});
    int right = std::min({x + width, area_.right, width_});
    int bottom = std::min({y + height, area_.bottom, height_});
    for (int py = top; py < bottom; ++py)
        for (int px = left; px < right; ++px) put(px, py, kBlack);
}

void RasterCanvas::fillDisc(int left, int top, int right, int bottom, Rgb fill) {
    const std::int64_t w = right - left;
    const std::int64_t h = bottom - top;
    if (w <= 0 || h <= 0) return;
    // The ellipse inscribed in the pixels left..right-1 and top..bottom-1, tested in doubled
    // coordinates so that the half-pixel centre stays an integer.
    auto inside = [&](int px, int py) {
        std::int64_t dx = 2 * static_cast<std::int64_t>(px) - (left + right - 1);
        std::int64_t dy = 2 * static_cast<std::int64_t>(py) - (top + bottom - 1);
        return dx * dx * h * h + dy * dy * w * w <= w * w * h * h;
    };
    int clipLeft = std::max({left, area_.left, 0});
    int clipTop = std::max({top, area_.top, 0});
    int clipRight = std::min({right, area_.right, width_});
    int clipBottom = std::min({bottom, area_.bottom, height_});
    for (int py = clipTop; py < clipBottom; ++py) {
        for (int px = clipLeft; px < clipRight; ++px) {
            if (!inside(px, py)) continue;
            bool edge = !inside(px - 1, py) || !inside(px + 1, py) || !inside(px, py - 1) || !inside(px, py + 1);
            put(px, py, edge ? kBlack : fill);
        }
    }
}

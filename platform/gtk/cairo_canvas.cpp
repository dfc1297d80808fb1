// The board painter's canvas on a cairo context.
#include "platform/gtk/cairo_canvas.h"

#include <cmath>

namespace {

void setColour(cairo_t* cr, Rgb c) { cairo_set_source_rgb(cr, c.r / 255.0, c.g / 255.0, c.b / 255.0); }

}  // namespace

CairoCanvas::CairoCanvas(cairo_t* cr) : cr_(cr) {
    // Walls are one pixel wide and must land on whole pixels, as GDI draws them: no smoothing.
    cairo_set_antialias(cr_, CAIRO_ANTIALIAS_NONE);
}

void CairoCanvas::fillBlackRect(int x, int y, int width, int height) {
    cairo_rectangle(cr_, x, y, width, height);
    setColour(cr_, kBlack);
    cairo_fill(cr_);
}

void CairoCanvas::fillDisc(int left, int top, int right, int bottom, Rgb fill) {
    const double width = right - left;
    const double height = bottom - top;
    if (width <= 0 || height <= 0) return;
    // The outline's one-pixel line runs half a pixel inside the box so that it stays within the
    // pixels left..right-1 and top..bottom-1, as Ellipse keeps it.
    cairo_save(cr_);
    cairo_translate(cr_, left + width / 2, top + height / 2);
    cairo_scale(cr_, (width - 1) / 2, (height - 1) / 2);
    cairo_arc(cr_, 0, 0, 1, 0, 2 * M_PI);
    cairo_restore(cr_);
    setColour(cr_, fill);
    cairo_fill_preserve(cr_);
    setColour(cr_, kBlack);
    cairo_set_line_width(cr_, 1);
    cairo_stroke(cr_);
}

PixelRect CairoCanvas::paintArea() const {
    double x1 = 0, y1 = 0, x2 = 0, y2 = 0;
    cairo_clip_extents(cr_, &x1, &y1, &x2, &y2);
    return {static_cast<int>(std::floor(x1)), static_cast<int>(std::floor(y1)), static_cast<int>(std::ceil(x2)),
            static_cast<int>(std::ceil(y2))};
}

void clearToWhite(cairo_t* cr) {
    setColour(cr, kWhite);
    cairo_paint(cr);
}

// Drawing the board with GDI: walls as BLACKNESS blits, pieces as Ellipse with a solid brush.
#include "platform/win32/gdi_canvas.h"

namespace {

// A solid brush selected into a device context for as long as this lives. Deselecting before
// deleting matters: GDI will not delete a brush that is still selected, and every paint would
// leak one.
class SelectedSolidBrush {
public:
    SelectedSolidBrush(HDC dc, COLORREF colour)
        : dc_(dc), brush_(CreateSolidBrush(colour)), previous_(SelectObject(dc, brush_)) {}
    ~SelectedSolidBrush() {
        SelectObject(dc_, previous_);
        DeleteObject(brush_);
    }
    SelectedSolidBrush(const SelectedSolidBrush&) = delete;
    SelectedSolidBrush& operator=(const SelectedSolidBrush&) = delete;

private:
    HDC dc_;
    HBRUSH brush_;
    HGDIOBJ previous_;
};

}  // namespace

void GdiCanvas::fillBlackRect(int x, int y, int width, int height) {
    BitBlt(dc_, x, y, width, height, nullptr, 0, 0, BLACKNESS);
}

void GdiCanvas::fillDisc(int left, int top, int right, int bottom, Rgb fill) {
    // The outline is the device context's current pen: the default 1-pixel black one.
    SelectedSolidBrush brush(dc_, RGB(fill.r, fill.g, fill.b));
    Ellipse(dc_, left, top, right, bottom);
}

PixelRect GdiCanvas::paintArea() const {
    return {paintArea_.left, paintArea_.top, paintArea_.right, paintArea_.bottom};
}

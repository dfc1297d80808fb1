// Writing a picture as a PNG file with libpng, streamed a band of rows at a time.
#include "tools/png_file.h"

#include <png.h>

#include <cerrno>
#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <optional>

#include "platform/raster/raster_canvas.h"
#include "tools/safe_file.h"

namespace {

constexpr int kBandRows = 64;

// A band of the picture's rows, drawn on in the picture's own coordinates.
class Band final : public Canvas {
public:
    Band(int width, int top, int rows) : top_(top), pixels_(width, rows) {}
    void fillBlackRect(int x, int y, int width, int height) override { pixels_.fillBlackRect(x, y - top_, width, height); }
    // The disc test depends only on positions relative to the disc, so shifting it is exact.
    void fillDisc(int left, int top, int right, int bottom, Rgb fill) override {
        pixels_.fillDisc(left, top - top_, right, bottom - top_, fill);
    }
    PixelRect paintArea() const override { return {0, top_, pixels_.width(), top_ + pixels_.height()}; }
    const std::uint8_t* row(int y) const {
        return pixels_.bytes().data() + static_cast<std::size_t>(y - top_) * static_cast<std::size_t>(pixels_.width()) *
                                            static_cast<std::size_t>(pixels_.bytesPerPixel());
    }

private:
    int top_;
    RasterCanvas pixels_;
};

// The rows of the picture in order, each band painted when its first row is asked for.
class Rows {
public:
    Rows(int width, int height, const PicturePainter& paint) : width_(width), height_(height), paint_(paint) {}
    const std::uint8_t* row(int y) {
        if (!band_ || y >= bandEnd_) {
            bandEnd_ = std::min(y + kBandRows, height_);
            band_.emplace(width_, y, bandEnd_ - y);
            paint_(*band_);
        }
        return band_->row(y);
    }

private:
    int width_, height_;
    const PicturePainter& paint_;
    std::optional<Band> band_;
    int bandEnd_ = 0;
};

struct Output {
    std::FILE* file = nullptr;
    int error = 0;          // errno of the first failed write
    char libpngSays[160]{};  // libpng's own words when it gives up
};

[[noreturn]] void keepLibpngError(png_structp png, png_const_charp message) {
    auto* out = static_cast<Output*>(png_get_error_ptr(png));
    std::snprintf(out->libpngSays, sizeof out->libpngSays, "%s", message);
    png_longjmp(png, 1);
}

void ignoreWarning(png_structp, png_const_charp) {}

void writeBytes(png_structp png, png_bytep data, png_size_t length) {
    auto* out = static_cast<Output*>(png_get_io_ptr(png));
    if (out->error == 0 && std::fwrite(data, 1, length, out->file) != length) out->error = errno != 0 ? errno : EIO;
}

void flushNothing(png_structp) {}

// Kept free of objects with destructors: libpng leaves this frame by longjmp when it fails.
bool encode(png_structp png, png_infop info, int width, int height, Rows& rows) {
    if (setjmp(png_jmpbuf(png))) return false;
    png_set_IHDR(png, info, static_cast<png_uint_32>(width), static_cast<png_uint_32>(height), 8, PNG_COLOR_TYPE_RGB,
                 PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    // A board's rows repeat the row above them far more often than not: the "up" filter alone
    // compresses them as well as trying every filter on every row, at a fraction of the time.
    png_set_filter(png, PNG_FILTER_TYPE_BASE, PNG_FILTER_UP);
    png_write_info(png, info);
    for (int y = 0; y < height; ++y) png_write_row(png, rows.row(y));
    png_write_end(png, info);
    return true;
}

}  // namespace

std::optional<std::string> pngSizeProblem(std::int64_t width, std::int64_t height) {
    const auto size = std::to_string(width) + " by " + std::to_string(height) + " pixels";
    if (width < 1 || height < 1) return "a picture of " + size + " is empty";
    if (width > PNG_USER_WIDTH_MAX || height > PNG_USER_HEIGHT_MAX)
        return "a picture of " + size + " is larger than PNG readers accept (" + std::to_string(PNG_USER_WIDTH_MAX) +
               " by " + std::to_string(PNG_USER_HEIGHT_MAX) + " pixels at most)";
    return std::nullopt;
}

std::optional<std::string> writePng(const std::string& path, int width, int height, const PicturePainter& paint) {
    if (auto problem = pngSizeProblem(width, height)) return path + ": cannot be encoded: " + *problem;
    return writeFileSafely(path, [&](std::FILE* file) -> std::optional<std::string> {
        Output out{file};
        png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, &out, keepLibpngError, ignoreWarning);
        png_infop info = png ? png_create_info_struct(png) : nullptr;
        if (!info) {
            png_destroy_write_struct(&png, nullptr);
            return std::string("out of memory");
        }
        png_set_write_fn(png, &out, writeBytes, flushNothing);
        Rows rows(width, height, paint);
        const bool encoded = encode(png, info, width, height, rows);
        png_destroy_write_struct(&png, &info);
        if (out.error != 0) return std::string(std::strerror(out.error));
        if (!encoded) return std::string("libpng cannot encode it: ") + out.libpngSays;
        return std::nullopt;
    });
}

// Writing a picture as a PNG file with libpng.
#include "tools/png_file.h"

#include <png.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>

#include "platform/raster/raster_canvas.h"

namespace {

bool encode(const RasterCanvas& picture, std::FILE* file) {
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    if (!png) return false;
    png_infop info = png_create_info_struct(png);
    if (!info || setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, info ? &info : nullptr);
        return false;
    }
    png_init_io(png, file);
    png_set_IHDR(png, info, static_cast<png_uint_32>(picture.width()), static_cast<png_uint_32>(picture.height()), 8,
                 PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    const auto* row = picture.rgbBytes().data();
    const std::size_t stride = static_cast<std::size_t>(picture.width()) * 3;
    for (int y = 0; y < picture.height(); ++y) png_write_row(png, row + stride * static_cast<std::size_t>(y));
    png_write_end(png, info);
    png_destroy_write_struct(&png, &info);
    return true;
}

}  // namespace

std::optional<std::string> writePng(const RasterCanvas& picture, const std::string& path) {
    const std::string temporary = path + ".part";
    std::FILE* file = std::fopen(temporary.c_str(), "wb");
    if (!file) return path + ": cannot be written: " + std::strerror(errno);
    bool encoded = encode(picture, file);
    bool closed = std::fclose(file) == 0;
    std::error_code renameError;
    if (encoded && closed) std::filesystem::rename(temporary, path, renameError);
    if (!encoded || !closed || renameError) {
        std::filesystem::remove(temporary, renameError);
        return path + ": cannot be written";
    }
    return std::nullopt;
}

// Writing a picture as a PNG file with libpng.
#include "tools/png_file.h"

#include <png.h>

#include <vector>

#include "platform/raster/raster_canvas.h"
#include "tools/safe_file.h"

std::optional<std::string> writePng(const RasterCanvas& picture, const std::string& path) {
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    image.width = static_cast<png_uint_32>(picture.width());
    image.height = static_cast<png_uint_32>(picture.height());
    image.format = PNG_FORMAT_RGB;
    // The first call only measures; the second encodes into a buffer of that size.
    png_alloc_size_t size = 0;
    const void* pixels = picture.rgbBytes().data();
    if (!png_image_write_to_memory(&image, nullptr, &size, 0, pixels, 0, nullptr))
        return path + ": cannot be encoded: " + image.message;
    std::vector<char> encoded(size);
    if (!png_image_write_to_memory(&image, encoded.data(), &size, 0, pixels, 0, nullptr))
        return path + ": cannot be encoded: " + image.message;
    return writeFileSafely(path, std::string_view(encoded.data(), size));
}

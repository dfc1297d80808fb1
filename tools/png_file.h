// Writing a picture as a PNG file.
#pragma once

#include <optional>
#include <string>

class RasterCanvas;

// Writes the picture to `path` through a temporary file beside it, so that a failed write never
// leaves a damaged picture where a good one stood. Returns why it failed, if it did.
std::optional<std::string> writePng(const RasterCanvas& picture, const std::string& path);

// Writing a picture as a PNG file, a band of rows at a time.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

class Canvas;

// Why libpng, or the readers that use its default limits, cannot take a picture of this size;
// nothing when they can. Asked before anything is painted or allocated.
std::optional<std::string> pngSizeProblem(std::int64_t width, std::int64_t height);

// Paints the whole picture; each call's canvas covers only some rows (its paint area) and clips.
using PicturePainter = std::function<void(Canvas& canvas)>;

// Writes a width by height picture, white where `paint` leaves it, to `path` through a temporary
// file beside it, so that a failed write never leaves a damaged picture where a good one stood.
// The picture is painted and compressed a band of rows at a time: memory follows its width, not
// its size. Returns why it failed, if it did.
std::optional<std::string> writePng(const std::string& path, int width, int height, const PicturePainter& paint);

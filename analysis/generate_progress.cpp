// What generate says while it searches: the mazes judged, the best win so far and the time left.
#include "analysis/generate_progress.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

std::string duration(double seconds) {
    if (seconds < 120) return std::to_string(std::llround(seconds)) + " s";
    return std::to_string(std::llround(seconds / 60)) + " min";
}

}  // namespace

std::string keyCount(std::size_t keys) { return std::to_string(keys) + (keys == 1 ? " key" : " keys"); }

std::string generateProgressText(std::int64_t tried, std::int64_t tries, std::int32_t bestWin, double elapsed,
                                 std::optional<double> seconds) {
    double left = tried > 0 ? static_cast<double>(tries - tried) * elapsed / static_cast<double>(tried) : 0;
    if (seconds) left = std::min(left, std::max(0.0, *seconds - elapsed));
    std::string text = std::to_string(tried) + " mazes judged";
    if (tries < std::numeric_limits<std::int64_t>::max()) text += " of " + std::to_string(tries);
    return text + ", longest shortest win so far " + keyCount(static_cast<std::size_t>(bestWin)) + ", about " +
           duration(left) + " left";
}

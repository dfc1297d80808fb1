// Writing a whole file so that a failure never leaves a damaged one behind.
#pragma once

#include <optional>
#include <string>
#include <string_view>

// Writes `bytes` to a temporary file beside `path` and renames it over `path` only once it is
// complete. Returns why it failed, if it did.
std::optional<std::string> writeFileSafely(const std::string& path, std::string_view bytes);

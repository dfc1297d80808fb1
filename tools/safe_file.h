// Writing a whole file so that a failure never leaves a damaged one behind, nor touches another file.
#pragma once

#include <cstdio>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

// Writes the content to the open file; returns why it could not, if it could not.
using FileWriter = std::function<std::optional<std::string>(std::FILE* file)>;

// Writes through `write` into a new temporary file beside `path`, created exclusively under a
// unique name (never through a link, never over another file, with the permissions the umask
// gives), and renames it over `path` only once it is complete and on disk; a failed write removes
// it. Returns "PATH: cannot be written: reason" if it failed.
std::optional<std::string> writeFileSafely(const std::string& path, const FileWriter& write);
std::optional<std::string> writeFileSafely(const std::string& path, std::string_view bytes);

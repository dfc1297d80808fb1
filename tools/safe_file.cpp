// Writing a whole file through a temporary one beside it.
#include "tools/safe_file.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>

std::optional<std::string> writeFileSafely(const std::string& path, std::string_view bytes) {
    const std::string temporary = path + ".part";
    std::FILE* file = std::fopen(temporary.c_str(), "wb");
    if (!file) return path + ": cannot be written: " + std::strerror(errno);
    bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    bool closed = std::fclose(file) == 0;
    std::error_code renameError;
    if (written && closed) std::filesystem::rename(temporary, path, renameError);
    if (!written || !closed || renameError) {
        std::filesystem::remove(temporary, renameError);
        return path + ": cannot be written";
    }
    return std::nullopt;
}

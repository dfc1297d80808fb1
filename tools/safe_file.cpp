// Writing a whole file through a temporary one beside it.
#include "tools/safe_file.h"

#include <fcntl.h>
#include <stdlib.h>  // NOLINT(modernize-deprecated-headers): mkstemp is POSIX, declared here only
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>

namespace {

std::string reason(int error) { return std::strerror(error); }

}  // namespace

std::optional<std::string> writeFileSafely(const std::string& path, const FileWriter& write) {
    const auto failed = [&](const std::string& why) { return path + ": cannot be written: " + why; };
    const std::filesystem::path target(path);
    if (target.filename().empty()) return failed("the name ends in a slash, as a folder's does");
    // Hidden, and unique by mkstemp: no one's own file can have been given this name.
    // Appended piece by piece: "." + a string trips a false -Wrestrict in GCC 12.
    std::string name = ".";
    name += target.filename().string();
    name += ".XXXXXX";
    std::string temporary = (target.parent_path() / name).string();
    const int fd = ::mkstemp(temporary.data());
    if (fd < 0) return failed(reason(errno));
    const mode_t umaskBits = ::umask(0);
    ::umask(umaskBits);
    std::FILE* file = ::fchmod(fd, 0666 & ~umaskBits) == 0 ? ::fdopen(fd, "wb") : nullptr;
    std::optional<std::string> error;
    if (!file) {
        error = reason(errno);
        ::close(fd);
    } else {
        error = write(file);
        if (!error && (std::fflush(file) != 0 || ::fsync(fd) != 0)) error = reason(errno);
        if (std::fclose(file) != 0 && !error) error = reason(errno);
    }
    if (!error && std::rename(temporary.c_str(), path.c_str()) != 0) error = reason(errno);
    if (error) {
        ::unlink(temporary.c_str());
        return failed(*error);
    }
    return std::nullopt;
}

std::optional<std::string> writeFileSafely(const std::string& path, std::string_view bytes) {
    return writeFileSafely(path, [bytes](std::FILE* file) -> std::optional<std::string> {
        if (std::fwrite(bytes.data(), 1, bytes.size(), file) != bytes.size()) return reason(errno);
        return std::nullopt;
    });
}

// A folder of the test's own in the system's temporary one, removed with all it holds.
#pragma once

#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>
#include <system_error>

#include <unistd.h>

class TempFolder {
public:
    TempFolder()
        : path_(std::filesystem::temp_directory_path() /
                ("corvel-test-" + std::to_string(::getpid()) + "-" + std::to_string(serial_++))) {
        std::filesystem::create_directories(path_);
    }
    ~TempFolder() {
        std::error_code ignored;  // a test that failed halfway may have left it half-made
        std::filesystem::remove_all(path_, ignored);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::filesystem::path& path() const { return path_; }
    // Writes `bytes` to the file `name` in the folder; its path.
    std::string write(const std::string& name, std::string_view bytes) const {
        std::string file = (path_ / name).string();
        std::ofstream(file, std::ios::binary) << bytes;
        return file;
    }

private:
    static inline int serial_ = 0;
    std::filesystem::path path_;
};

#pragma once

#include <chrono>
#include <cstddef>
#include <filesystem>
#include <random>
#include <string>
#include <system_error>

// A new, empty folder under the system's temporary folder, removed with everything
// in it when the object goes out of scope. Path() is empty when none could be made.
class TempFolder {
public:
    explicit TempFolder(const std::string& prefix) {
        std::random_device random;
        const auto tick = std::chrono::steady_clock::now().time_since_epoch().count();
        for (int attempt = 0; attempt < 100 && path_.empty(); ++attempt) {
            std::filesystem::path candidate =
                std::filesystem::temp_directory_path() /
                (prefix + std::to_string(random()) + "-" + std::to_string(tick) + "-" +
                 std::to_string(attempt));
            std::error_code error;
            if (std::filesystem::create_directory(candidate, error)) {
                path_ = candidate;
            }
        }
    }
    ~TempFolder() {
        std::error_code ignored;
        if (!path_.empty()) {
            std::filesystem::remove_all(path_, ignored);
        }
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::filesystem::path& Path() const { return path_; }

private:
    std::filesystem::path path_;
};

// A folder made below `base` whose path is at least `length` characters long, for
// paths past MAX_PATH; empty when it cannot be made.
inline std::filesystem::path DeepFolder(const std::filesystem::path& base, std::size_t length) {
    std::filesystem::path deep = base;
    while (deep.u16string().size() < length) {
        deep /= std::string(50, 'd');
    }
    std::error_code error;
    std::filesystem::create_directories(deep, error);
    return error ? std::filesystem::path() : deep;
}

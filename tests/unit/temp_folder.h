// A fresh folder under the temporary directory for one test, removed with its contents when
// the test ends: tests that run side by side (or in other checkouts) never share a file.
#pragma once

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <random>
#include <string>
#include <system_error>

class TempFolder {
  public:
    explicit TempFolder(const std::string& prefix) {
        // random_device alone repeats itself on some MinGW runtimes: mix in the clock.
        std::random_device random;
        std::uint64_t seed =
            std::uint64_t(std::chrono::steady_clock::now().time_since_epoch().count());
        for (int attempt = 0;; ++attempt) {
            seed = seed * 6364136223846793005u + random() + std::uint64_t(attempt);
            path_ = std::filesystem::temp_directory_path() /
                    (prefix + "-" + std::to_string(seed % 1000000007u));
            if (std::filesystem::create_directory(path_)) return;
        }
    }
    ~TempFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::filesystem::path& path() const { return path_; }
    std::string operator/(const std::string& name) const { return (path_ / name).string(); }

  private:
    std::filesystem::path path_;
};

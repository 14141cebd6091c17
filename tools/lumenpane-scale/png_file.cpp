// Reading PNG files whole and writing them through a temporary file beside the target.
#include "png_io.h"

#ifdef _WIN32
#include "platform/win32.h"
#endif

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>

namespace {

bool ReadWholeFile(const std::string& path, std::vector<std::uint8_t>* bytes, std::string* error) {
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) {
        *error = "cannot open " + path + ": " + std::strerror(errno);
        return false;
    }
    std::uint8_t buffer[65536];
    std::size_t got = 0;
    while ((got = std::fread(buffer, 1, sizeof buffer, file)) > 0)
        bytes->insert(bytes->end(), buffer, buffer + got);
    const bool failed = std::ferror(file) != 0;
    std::fclose(file);
    if (failed) *error = "cannot read " + path;
    return !failed;
}

bool WriteWholeFile(const std::string& path, const std::vector<std::uint8_t>& bytes) {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) return false;
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    const bool flushed = std::fflush(file) == 0;
    return (std::fclose(file) == 0) && written && flushed;
}

// Replaces the destination if it exists.
bool MoveOver(const std::string& from, const std::string& to) {
#ifdef _WIN32
    return MoveFileExA(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING) != 0;
#else
    return std::rename(from.c_str(), to.c_str()) == 0;
#endif
}

std::string TemporaryNameBeside(const std::string& path) {
    const auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
    return path + "." + std::to_string(stamp % 1000000007) + ".tmp";
}

} // namespace

bool ReadPng(const std::string& path, Picture* picture, std::string* error) {
    std::vector<std::uint8_t> bytes;
    if (!ReadWholeFile(path, &bytes, error)) return false;
    std::string problem;
    if (!CheckPngStructure(bytes, &problem) || !DecodePng(bytes, picture, &problem)) {
        *error = path + ": " + problem;
        return false;
    }
    return true;
}

bool WritePng(const std::string& path, const Picture& picture, std::string* error) {
    std::vector<std::uint8_t> bytes;
    if (!EncodePng(picture, &bytes, error)) return false;
    const std::string temporary = TemporaryNameBeside(path);
    errno = 0;
    if (WriteWholeFile(temporary, bytes) && MoveOver(temporary, path)) return true;
    *error = "cannot write " + path + (errno ? std::string(": ") + std::strerror(errno) : "");
    std::remove(temporary.c_str());
    return false;
}

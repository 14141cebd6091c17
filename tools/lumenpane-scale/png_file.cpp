// Reading PNG files whole and writing them through a temporary file beside the target.
#include "png_io.h"

#include "file_access.h"
#include "memory_need.h"

#include <cstdio>

std::string Printable(const std::string& text) {
    std::string shown;
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte == 0x7F) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\x%02X", byte);
            shown += escaped;
        } else {
            shown += c;
        }
    }
    return shown;
}

void PngSize(const std::vector<std::uint8_t>& bytes, std::uint32_t* width, std::uint32_t* height) {
    const auto at = [&](std::size_t i) {
        return std::uint32_t(bytes[i]) << 24 | std::uint32_t(bytes[i + 1]) << 16 |
               std::uint32_t(bytes[i + 2]) << 8 | bytes[i + 3];
    };
    *width = at(16); // signature 8, chunk length 4, "IHDR" 4
    *height = at(20);
}

bool ReadPng(const std::string& path, Picture* picture, std::string* error) {
    std::vector<std::uint8_t> bytes;
    if (!ReadInputFile(path, MemoryBudget, &bytes, error)) return false;
    std::string problem;
    if (!CheckPngStructure(bytes, &problem) || !DecodePng(bytes, picture, &problem)) {
        *error = Printable(path) + ": " + problem;
        return false;
    }
    return true;
}

bool WritePng(const std::string& path, const Picture& picture, std::string* error) {
    OutputFile file;
    if (!file.Open(path, error)) return false;
    std::string problem;
    const bool encoded = EncodePng(
        picture,
        [&file](const std::uint8_t* data, std::size_t size) { return file.Write(data, size); },
        &problem);
    if (!encoded) {
        // A failed write shows as the file's error; anything else is the encoder's.
        if (!file.WriteFailed(error)) *error = problem;
        return false;
    }
    return file.Commit(error);
}

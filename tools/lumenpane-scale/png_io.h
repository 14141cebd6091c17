// PNG pictures for the command-line tool: reading into 0xFFRRGGBB pixels and writing 8-bit
// RGB, with the same rules on every platform.
//
// The file handling and the checks of the PNG's structure are shared (png_file.cpp,
// png_check.cpp); only decoding and encoding differ: libpng natively (png_io_libpng.cpp),
// the Windows Imaging Component on Windows (png_io_wic.cpp).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct Picture {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> pixels; // rows packed, 0xFFRRGGBB
};

constexpr int MinPictureWidth = 4;
constexpr int MinPictureHeight = 2;
constexpr int MaxPictureSide = 8192;

// Reads a whole PNG file. Palette, grey and 16-bit pictures become 8-bit RGB; alpha is
// dropped. False with a message for an unreadable file, a file that is not a PNG, a
// truncated or corrupt PNG, or a picture outside the size limits.
bool ReadPng(const std::string& path, Picture* picture, std::string* error);
// Writes 8-bit RGB through a temporary file beside the destination, renamed over it only
// when complete; on failure nothing is left behind. False with a message on failure.
bool WritePng(const std::string& path, const Picture& picture, std::string* error);

// The chunk structure of a PNG held in memory: signature, IHDR first with a size within
// the limits, every chunk complete with a correct checksum, IDAT present, IEND at the end.
bool CheckPngStructure(const std::vector<std::uint8_t>& bytes, std::string* error);

// The platform's codec. DecodePng is given bytes that passed CheckPngStructure.
bool DecodePng(const std::vector<std::uint8_t>& bytes, Picture* picture, std::string* error);
bool EncodePng(const Picture& picture, std::vector<std::uint8_t>* bytes, std::string* error);

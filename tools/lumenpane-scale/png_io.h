// PNG pictures for the command-line tool: reading into 0xFFRRGGBB pixels and writing 8-bit
// RGB, with the same rules on every platform.
//
// The file handling and the checks of the PNG's structure are shared (png_file.cpp,
// png_check.cpp); only decoding and encoding differ: libpng natively (png_io_libpng.cpp),
// the Windows Imaging Component on Windows (png_io_wic.cpp).
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

struct Picture {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> pixels; // rows packed, 0xFFRRGGBB
};

// Frees a buffer's memory now (assigning {} would keep its capacity).
template <typename T> void Release(std::vector<T>& buffer) {
    std::vector<T>().swap(buffer);
}

constexpr int MinPictureWidth = 4;
constexpr int MinPictureHeight = 2;
constexpr int MaxPictureSide = 8192;

// Reads a whole PNG file. Palette, grey and 16-bit pictures become 8-bit RGB; alpha is
// dropped. False with a message for an input that is not a regular file, an unreadable
// file, a file that is not a PNG, a truncated or corrupt PNG, or a picture outside the size
// limits.
bool ReadPng(const std::string& path, Picture* picture, std::string* error);
// Writes 8-bit RGB through a temporary file beside the destination, renamed over it only
// when complete (see OutputFile); on failure nothing is left behind. False with a message.
bool WritePng(const std::string& path, const Picture& picture, std::string* error);

// The chunk structure of a PNG held in memory: signature, IHDR first with a size within
// the limits, every chunk complete with a correct checksum, IDAT present, IEND at the end.
bool CheckPngStructure(const std::vector<std::uint8_t>& bytes, std::string* error);
// The picture size in the header of bytes that passed CheckPngStructure.
void PngSize(const std::vector<std::uint8_t>& bytes, std::uint32_t* width, std::uint32_t* height);

// The platform's codec. DecodePng is given bytes that passed CheckPngStructure. EncodePng
// hands the file to sink piece by piece; a sink that returns false ends the encoding.
using ByteSink = std::function<bool(const std::uint8_t* data, std::size_t size)>;
bool DecodePng(const std::vector<std::uint8_t>& bytes, Picture* picture, std::string* error);
bool EncodePng(const Picture& picture, const ByteSink& sink, std::string* error);

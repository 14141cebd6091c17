// Hand-made PNG files for the tool tests: any colour type and bit depth, stored (not
// compressed) picture data, and helpers to damage them.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct PngLayout {
    int width = 0;
    int height = 0;
    int bitDepth = 8;
    int colourType = 2;                  // 0 grey, 2 RGB, 3 palette, 4 grey+alpha, 6 RGBA
    std::vector<std::uint8_t> scanlines; // height rows of packed samples, no filter bytes
    std::vector<std::uint8_t> palette;   // RGB triples for colour type 3
    bool interlaced = false;             // Adam7; whole-byte pixels (bit depth 8 or 16) only
};

std::vector<std::uint8_t> BuildPng(const PngLayout& layout);
// An 8-bit RGB layout from 0xRRGGBB pixels, rows packed.
PngLayout RgbLayout(int width, int height, const std::vector<std::uint32_t>& pixels);
// Offset of the first byte of the data of the first chunk of the given type, or 0.
std::size_t ChunkDataOffset(const std::vector<std::uint8_t>& png, const char* type);
// Recomputes the checksum of the chunk whose data starts at offset.
void FixChunkCrc(std::vector<std::uint8_t>& png, std::size_t dataOffset);

void WriteFileBytes(const std::string& path, const std::vector<std::uint8_t>& bytes);
std::vector<std::uint8_t> ReadFileBytes(const std::string& path);

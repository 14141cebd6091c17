// PNG files through the Windows Imaging Component, the codec every Windows carries: the
// viewer's screenshots and the Windows build of lumenpane-scale write their pictures with it,
// so both write the same file for the same pixels. Windows only (png_encoder_win32.cpp).
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

// Pixels 0x..RRGGBB, little-endian 32-bit (the top byte is ignored), rows `pitch` bytes apart.
struct PngPixels {
    const std::uint8_t* rows = nullptr;
    int width = 0;
    int height = 0;
    std::size_t pitch = 0;
};

// Receives the encoded file; returning false ends the encoding as failed.
using PngSink = std::function<bool(const std::uint8_t* data, std::size_t size)>;

// Encodes the pixels as an 8-bit RGB PNG and hands the whole file to sink in one piece. The
// calling thread must be in COM (a thread started with ThreadCom::Apartment, or one that
// called CoInitializeEx). False with a message (and the codec's error code) when the codec is
// missing, memory runs short or the encoding fails.
bool EncodePngWithWic(const PngPixels& pixels, const PngSink& sink, std::string* error);

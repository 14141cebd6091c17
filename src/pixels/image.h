// Off-screen images, rectangle copies with optional alpha blending, and 8x8 text.
//
// An Image is one 16-byte-aligned block: this 32-byte header, then height rows of pitch
// bytes. Other code reads the header fields directly and takes the block address + 32 as
// the first pixel, so the layout is binding.
#pragma once

#include <cstddef>
#include <cstdint>

struct Image {
    std::uint32_t imageType; // always 7
    std::uint32_t bytesPerPixel;
    std::uint32_t width;
    std::uint32_t height;
    std::uint32_t pitch; // width * bytesPerPixel rounded up to a multiple of 16
    std::uint8_t reserved[12];
};
static_assert(sizeof(Image) == 32);

constexpr std::uint32_t ImageTypeTag = 7;

// CreateImage flag: fill with the default colour of the pixel size.
constexpr std::uint32_t DefaultColour = 0x80000000u;

// PutImage modes and the region value that selects the whole source.
constexpr int Copy = 1;
constexpr int Alpha = 6;
constexpr std::int32_t WholeImage = std::int32_t(0xFFFF0000u);

inline std::uint8_t* ImagePixels(Image* image) {
    return reinterpret_cast<std::uint8_t*>(image) + 32;
}
inline const std::uint8_t* ImagePixels(const Image* image) {
    return reinterpret_cast<const std::uint8_t*>(image) + 32;
}
inline std::uint8_t* ImageRow(Image* image, int row) {
    return ImagePixels(image) + std::size_t(row) * image->pitch;
}

Image* CreateImage(int width, int height, std::uint32_t colour, int depth, std::uint32_t flags);
void DestroyImage(Image* image);
int ImageInfo(Image* image, int* width, int* height, int* bytesPerPixel, int* pitch, void** pixels,
              int* size);
int PutImage(Image* target, float x, float y, const Image* source, std::int32_t x1, std::int32_t y1,
             std::int32_t x2, std::int32_t y2, int mode);
void DrawText(Image* target, float x, float y, const char* text, std::uint32_t colour);

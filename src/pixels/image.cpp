// Making, releasing and querying off-screen images.
#include "pixels/image.h"

#include "pixels/pixel_format.h"
#include "runtime/aligned_memory.h"
#include "runtime/frame_buffer.h"

#include <cstdint>
#include <cstring>

namespace {

int ImageBytesPerPixel(int depth) {
    const int bytes = depth <= 0 ? Surface.bytesPerPixel : (depth + 7) / 8;
    return bytes == 1 || bytes == 2 || bytes == 4 ? bytes : 0;
}

std::uint32_t DefaultFill(int bytesPerPixel) {
    switch (bytesPerPixel) {
    case 4:
        return 0xFFFF00FFu;
    case 2:
        return 0xF81Fu;
    default:
        return 0;
    }
}

// Every pixel slot of every row, padding included, gets the value as it is.
void FillImage(Image* image, std::uint32_t value) {
    std::uint8_t* pixels = ImagePixels(image);
    const std::size_t bytes = std::size_t(image->pitch) * image->height;
    if (image->bytesPerPixel == 1) {
        std::memset(pixels, int(value & 0xFF), bytes);
    } else if (image->bytesPerPixel == 2) {
        auto* p = reinterpret_cast<std::uint16_t*>(pixels);
        for (std::size_t i = 0, n = bytes / 2; i < n; ++i) p[i] = std::uint16_t(value);
    } else {
        auto* p = reinterpret_cast<std::uint32_t*>(pixels);
        for (std::size_t i = 0, n = bytes / 4; i < n; ++i) p[i] = value;
    }
}

// Size of the whole block, or 0 when it would not fit the address space.
std::size_t ImageBlockSize(std::uint64_t pitch, std::uint64_t height) {
    constexpr std::uint64_t limit = std::uint64_t(PTRDIFF_MAX) < 0x7FFFFFFFu
                                        ? std::uint64_t(PTRDIFF_MAX)
                                        : std::uint64_t(0x7FFFFFFFu);
    if (pitch > limit) return 0; // keeps the product below from overflowing
    const std::uint64_t total = pitch * height + sizeof(Image);
    return total > limit ? 0 : std::size_t(total);
}

} // namespace

Image* CreateImage(int width, int height, std::uint32_t colour, int depth, std::uint32_t flags) {
    if (!Surface.open || width < 1 || height < 1) return nullptr;
    const int bytesPerPixel = ImageBytesPerPixel(depth);
    if (bytesPerPixel == 0) return nullptr;
    const std::uint64_t pitch = (std::uint64_t(width) * bytesPerPixel + 15) & ~std::uint64_t{15};
    const std::size_t size = ImageBlockSize(pitch, std::uint64_t(height));
    if (size == 0) return nullptr;
    auto* image = static_cast<Image*>(AlignedAlloc(size));
    if (!image) return nullptr;
    std::memset(image, 0, sizeof(Image));
    image->imageType = ImageTypeTag;
    image->bytesPerPixel = std::uint32_t(bytesPerPixel);
    image->width = std::uint32_t(width);
    image->height = std::uint32_t(height);
    image->pitch = std::uint32_t(pitch);
    const bool useDefault = (flags & DefaultColour) != 0;
    FillImage(image,
              useDefault ? DefaultFill(bytesPerPixel) : PixelValueForSize(colour, bytesPerPixel));
    return image;
}

void DestroyImage(Image* image) {
    AlignedFree(image);
}

namespace {
template <typename T> void Put(T* out, T value) {
    if (out) *out = value;
}
} // namespace

int ImageInfo(Image* image, int* width, int* height, int* bytesPerPixel, int* pitch, void** pixels,
              int* size) {
    if (!image) {
        Put(width, -1), Put(height, -1), Put(bytesPerPixel, -1), Put(pitch, -1);
        Put(pixels, static_cast<void*>(nullptr)), Put(size, -1);
        return 1;
    }
    Put(width, int(image->width));
    Put(height, int(image->height));
    Put(bytesPerPixel, int(image->bytesPerPixel));
    Put(pitch, int(image->pitch));
    Put(pixels, static_cast<void*>(ImagePixels(image)));
    Put(size, int(image->pitch * image->height + sizeof(Image)));
    return 0;
}

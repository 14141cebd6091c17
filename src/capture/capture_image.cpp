// The capture image's replacement rule and the row copy into it.
#include "capture/capture_image.h"

#include "pixels/image.h"

#include <cstddef>
#include <cstring>

bool CaptureImageFits(const Image* image, int width, int height) {
    return image && image->bytesPerPixel == 4 && image->width == std::uint32_t(width) &&
           image->height == std::uint32_t(height);
}

int FitCaptureImage(Image*& image, int width, int height) {
    if (CaptureImageFits(image, width, height)) return 0;
    if (image) DestroyImage(image);
    image = CreateImage(width, height, 0, 32, DefaultColour);
    return image ? 1 : -1;
}

RowSpan CopyPackedRows(const std::uint8_t* pixels, int width, int height, Image* image) {
    const std::size_t rowBytes = std::size_t(width) * 4;
    RowSpan changed;
    for (int y = 0; y < height; ++y) {
        void* row = ImageRow(image, y);
        const std::uint8_t* from = pixels + std::size_t(y) * rowBytes;
        if (std::memcmp(row, from, rowBytes) == 0) continue;
        std::memcpy(row, from, rowBytes);
        changed = changed.With({y, y + 1});
    }
    return changed;
}

// Shared set-up for the image tests: a headless 640x480 32-bit surface as the viewer opens it.
#pragma once

#include "pixels/image.h"
#include "window/surface.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>

class ImageTest : public ::testing::Test {
  protected:
    void SetUp() override { ASSERT_EQ(OpenSurface(640, 480, 32, 1, 68, 0), 0); }
    void TearDown() override { CloseSurface(); }
};

// Owns an image for one test.
struct ScopedImage {
    Image* image;
    explicit ScopedImage(Image* made) : image(made) {}
    ~ScopedImage() { DestroyImage(image); }
    ScopedImage(const ScopedImage&) = delete;
    ScopedImage& operator=(const ScopedImage&) = delete;
    Image* operator->() const { return image; }
    operator Image*() const { return image; }
};

inline std::uint32_t Pixel32(Image* image, int x, int y) {
    std::uint32_t value;
    std::memcpy(&value, ImageRow(image, y) + 4 * x, 4);
    return value;
}

inline void SetPixel32(Image* image, int x, int y, std::uint32_t value) {
    std::memcpy(ImageRow(image, y) + 4 * x, &value, 4);
}

inline std::uint32_t FramePixel(int x, int y) {
    std::uint32_t value;
    std::memcpy(&value, Surface.frameBuffer + y * Surface.pitch + 4 * x, 4);
    return value;
}

inline void ClearRowMarks() {
    std::memset(Surface.rowMarks, 0, std::size_t(Surface.height));
}

// A 32-bit image whose every pixel tells its position: 0xFF000000 | (y << 12) | x.
inline Image* MakeCoordinateImage(int width, int height) {
    Image* image = CreateImage(width, height, 0, 32, 0);
    if (!image) return nullptr;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            SetPixel32(image, x, y, 0xFF000000u | (std::uint32_t(y) << 12) | std::uint32_t(x));
    return image;
}

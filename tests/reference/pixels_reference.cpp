// Reference conversions and Scale2x, one pixel and one channel at a time.
#include "pixels_reference.h"

#include <cmath>

std::uint16_t ReferenceNarrow(std::uint32_t pixel) {
    const std::uint32_t red = pixel >> 16 & 0xFF, green = pixel >> 8 & 0xFF, blue = pixel & 0xFF;
    return std::uint16_t((red >> 3) << 11 | (green >> 2) << 5 | (blue >> 3));
}

std::uint32_t ReferenceWiden(std::uint16_t pixel) {
    const int r = pixel >> 11 & 31, g = pixel >> 5 & 63, b = pixel & 31;
    const auto red = std::uint32_t(std::lround(r * 255.0 / 31.0));
    const auto green = std::uint32_t(std::lround(g * 255.0 / 63.0));
    const auto blue = std::uint32_t(std::lround(b * 255.0 / 31.0));
    return 0xFF000000u | red << 16 | green << 8 | blue;
}

void ReferenceConvertRowTo565(const std::uint32_t* source, std::uint16_t* destination,
                              std::uint32_t count) {
    for (std::uint32_t i = 0; i + 1 < count; i += 2) {
        destination[i] = ReferenceNarrow(source[i]);
        destination[i + 1] = ReferenceNarrow(source[i + 1]);
    }
}

void ReferenceConvertRowFrom565(const std::uint16_t* source, std::uint32_t* destination,
                                std::int32_t count) {
    for (std::int32_t i = 0; i < count; ++i) destination[i] = ReferenceWiden(source[i]);
}

void ReferenceScale2x(const std::uint32_t* source, std::uint32_t* destination, int width,
                      int height) {
    const long n = long(width) * height;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const long i = long(y) * width + x;
            const std::uint32_t e = source[i];
            std::uint32_t e0 = e, e1 = e, e2 = e, e3 = e;
            if (i > 0) {
                // Neighbours along the run of pixels; missing rows and the missing pixel
                // after the last are stood in for by E itself.
                const std::uint32_t b = y > 0 ? source[i - width] : e;
                const std::uint32_t h = y < height - 1 ? source[i + width] : e;
                const std::uint32_t d = source[i - 1];
                const std::uint32_t f = i + 1 < n ? source[i + 1] : e;
                if (b != h && d != f) {
                    if (d == b) e0 = d;
                    if (b == f) e1 = f;
                    if (d == h) e2 = d;
                    if (h == f) e3 = f;
                }
            }
            std::uint32_t* top = destination + long(2 * y) * 2 * width + 2 * x;
            std::uint32_t* bottom = top + 2 * width;
            top[0] = e0;
            top[1] = e1;
            bottom[0] = e2;
            bottom[1] = e3;
        }
    }
}

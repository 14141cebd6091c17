// Narrow, hq2x, widen: the one hq2x frame sequence.
#include "viewer/pipeline/hq2x_frame.h"

#include "viewer/pipeline/hq2x.h"
#include "viewer/pipeline/pixel_convert.h"

namespace {

template <typename Pixel> Pixel* RowAt(Pixel* first, std::size_t pitch, int row) {
    return reinterpret_cast<Pixel*>(reinterpret_cast<std::uint8_t*>(first) +
                                    std::size_t(row) * pitch);
}

template <typename Pixel> const Pixel* RowAt(const Pixel* first, std::size_t pitch, int row) {
    return reinterpret_cast<const Pixel*>(reinterpret_cast<const std::uint8_t*>(first) +
                                          std::size_t(row) * pitch);
}

// The narrowing converts pixel pairs: the last pixel of an odd row goes through a pair of
// its own.
void NarrowRow(const std::uint32_t* source, std::uint16_t* destination, int width) {
    const std::uint32_t even = std::uint32_t(width) & ~1u;
    if (even) ConvertRowTo565(source, destination, even);
    if (even == std::uint32_t(width)) return;
    const std::uint32_t pair[2] = {source[width - 1], source[width - 1]};
    std::uint16_t narrowed[2] = {};
    ConvertRowTo565(pair, narrowed, 2);
    destination[width - 1] = narrowed[0];
}

} // namespace

void Hq2xFrame(const std::uint32_t* source, std::size_t sourcePitch, int width, int height,
               std::uint16_t* narrow, std::uint16_t* wide, std::size_t widePitch,
               std::uint32_t* destination, std::size_t destinationPitch) {
    if (width <= 0 || height <= 0) return;
    for (int y = 0; y < height; ++y)
        NarrowRow(RowAt(source, sourcePitch, y), narrow + std::size_t(y) * width, width);
    Hq2xScale(narrow, wide, width, height, int(widePitch));
    for (int y = 0; y < 2 * height; ++y)
        ConvertRowFrom565(RowAt(wide, widePitch, y), RowAt(destination, destinationPitch, y),
                          2 * width);
}

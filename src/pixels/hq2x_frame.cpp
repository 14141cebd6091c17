// Narrow, hq2x, widen: the one hq2x frame sequence.
#include "pixels/hq2x_frame.h"

#include "pixels/hq2x.h"
#include "pixels/hq2x_rows.h"
#include "pixels/pixel_convert.h"

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

// Row by row, so that each row stays in the cache between its steps: a source row is
// narrowed just before the row above it is filtered, and the two doubled rows go through
// the first two rows of `wide` straight into the destination.
void Hq2xFrame(const std::uint32_t* source, std::size_t sourcePitch, int width, int height,
               std::uint16_t* narrow, std::uint16_t* wide, std::size_t widePitch,
               std::uint32_t* destination, std::size_t destinationPitch) {
    if (width <= 0 || height <= 0) return;
    const Hq2xRowRoutines routines = Hq2xLevels::InUseRoutines();
    const std::uint32_t* yuv = Rgb565ToYuvTable;
    std::uint16_t* top = wide;
    std::uint16_t* bottom = RowAt(wide, widePitch, 1);
    NarrowRow(source, narrow, width);
    for (int y = 0; y < height; ++y) {
        std::uint16_t* row = narrow + std::size_t(y) * width;
        if (y + 1 < height) NarrowRow(RowAt(source, sourcePitch, y + 1), row + width, width);
        const Hq2xSourceRows rows{y > 0 ? row - width : row, row,
                                  y + 1 < height ? row + width : row};
        routines.filterRow(rows, width, yuv, top, bottom);
        routines.widenRow(top, RowAt(destination, destinationPitch, 2 * y), 2 * width);
        routines.widenRow(bottom, RowAt(destination, destinationPitch, 2 * y + 1), 2 * width);
    }
}

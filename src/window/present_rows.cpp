// Converting the frame buffer's marked rows for presentation.
#include "window/present_rows.h"

#include "pixels/pixel_format.h"
#include "window/surface.h"

#include <cstddef>
#include <cstring>

void ConvertRowForPresentation(const std::uint8_t* source, std::uint32_t* target, int width) {
    switch (Surface.bytesPerPixel) {
    case 4:
        std::memcpy(target, source, std::size_t(width) * 4);
        break;
    case 2: {
        const auto* p = reinterpret_cast<const std::uint16_t*>(source);
        const bool rgb555 = Surface.depth == 15;
        for (int x = 0; x < width; ++x) {
            const std::uint32_t v = p[x];
            const std::uint32_t r = rgb555 ? (v >> 10) & 31 : (v >> 11) & 31;
            const std::uint32_t g = rgb555 ? Widen5((v >> 5) & 31) : Widen6((v >> 5) & 63);
            target[x] = Widen5(r) << 16 | g << 8 | Widen5(v & 31);
        }
        break;
    }
    default: { // palette indices, shown as grey levels
        const std::uint32_t top = (1u << (Surface.depth > 8 ? 8 : Surface.depth)) - 1;
        for (int x = 0; x < width; ++x) {
            const std::uint32_t grey = (std::uint32_t(source[x]) & top) * 255 / top;
            target[x] = grey << 16 | grey << 8 | grey;
        }
    }
    }
}

namespace {

// A row of 8 or 16 bits converted before it is compared with the one shown; rows of 32 bits
// are compared as they are. Window thread only.
constexpr int ComparedWidthMax = 4096;
std::uint32_t ComparedRow[ComparedWidthMax];

// Converts the row into target; false when target held it already.
bool ConvertChangedRow(const std::uint8_t* source, std::uint32_t* target, int width) {
    const std::size_t bytes = std::size_t(width) * 4;
    const void* row = source;
    if (Surface.bytesPerPixel != 4) {
        ConvertRowForPresentation(source, ComparedRow, width);
        row = ComparedRow;
    }
    if (std::memcmp(row, target, bytes) == 0) return false;
    std::memcpy(target, row, bytes);
    return true;
}

} // namespace

bool CopyMarkedRows(std::uint32_t* presentation, int* firstRow, int* endRow, bool changedOnly) {
    int first = -1, end = -1;
    const bool compare =
        changedOnly && (Surface.bytesPerPixel == 4 || Surface.width <= ComparedWidthMax);
    for (int y = 0; y < Surface.height; ++y) {
        if (!Surface.rowMarks[y]) continue;
        Surface.rowMarks[y] = 0;
        const std::uint8_t* source = Surface.frameBuffer + std::size_t(y) * Surface.pitch;
        std::uint32_t* target = presentation + std::size_t(y) * Surface.width;
        if (!compare)
            ConvertRowForPresentation(source, target, Surface.width);
        else if (!ConvertChangedRow(source, target, Surface.width))
            continue;
        if (first < 0) first = y;
        end = y + 1;
    }
    *firstRow = first;
    *endRow = end;
    return first >= 0;
}

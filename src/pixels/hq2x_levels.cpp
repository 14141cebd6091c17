// Which hq2x routines run (simd_level.h), and the public filter entry that uses them.
#include "pixels/hq2x.h"
#include "pixels/hq2x_rows.h"

#include <cstddef>

namespace {

// Outside the portable build the basic rows are SSE2 code, so there is no plain level beside
// them; in the portable build (and on other processors) they are plain C++.
#if defined(LMP_PORTABLE_PIXELS) || !(defined(__i386__) || defined(__x86_64__))
constexpr SimdLevel BasicLevel = SimdLevel::Plain;
#else
constexpr SimdLevel BasicLevel = SimdLevel::Sse2;
#endif

} // namespace

bool Hq2xRoutinesAt(SimdLevel level, Hq2xRowRoutines* routines) {
    switch (level) {
    case SimdLevel::Plain:
    case SimdLevel::Sse2:
        *routines = Hq2xRowsBasic();
        return level == BasicLevel;
    case SimdLevel::Ssse3:
        *routines = Hq2xRowsSsse3();
        break;
    case SimdLevel::Sse41:
        *routines = Hq2xRowsSse41();
        break;
    case SimdLevel::Avx2:
        *routines = Hq2xRowsAvx2();
        break;
    }
    return routines->filterRow != nullptr;
}

void Hq2xScale(const void* source, void* destination, int width, int height, int pitch) {
    if (width <= 0 || height <= 0) return;
    const Hq2xRowFilter filterRow = Hq2xLevels::InUseRoutines().filterRow;
    const std::uint32_t* yuv = Rgb565ToYuvTable;
    const auto* pixels = static_cast<const std::uint16_t*>(source);
    auto* out = static_cast<unsigned char*>(destination);
    for (int y = 0; y < height; ++y) {
        const std::uint16_t* row = pixels + std::ptrdiff_t(y) * width;
        const Hq2xSourceRows rows{y > 0 ? row - width : row, row,
                                  y + 1 < height ? row + width : row};
        auto* top = reinterpret_cast<std::uint16_t*>(out + std::ptrdiff_t(2 * y) * pitch);
        auto* bottom = reinterpret_cast<std::uint16_t*>(out + std::ptrdiff_t(2 * y + 1) * pitch);
        filterRow(rows, width, yuv, top, bottom);
    }
}

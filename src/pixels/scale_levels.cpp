// Scale3x's and Scale2x's row routines at each instruction-set level (simd_level.h).
#include "pixels/scale_rows.h"

namespace {

void Scale3xRowPlain(const ScaleSourceRows& rows, int width, std::uint32_t* top,
                     std::uint32_t* middle, std::uint32_t* bottom) {
    Scale3xBlocks(rows, width, 0, width, top, middle, bottom);
}

void Scale2xRowPlain(const ScaleSourceRows& rows, int width, std::uint32_t* top,
                     std::uint32_t* bottom) {
    Scale2xBlocks(rows, width, 0, width, top, bottom);
}

} // namespace

ScaleRowRoutines ScaleRowsPlain() {
    return {Scale3xRowPlain, Scale2xRowPlain};
}

bool ScaleRoutinesAt(SimdLevel level, ScaleRowRoutines* routines) {
    switch (level) {
    case SimdLevel::Plain:
        *routines = ScaleRowsPlain();
        break;
    case SimdLevel::Sse2:
        *routines = ScaleRowsSse2();
        break;
    case SimdLevel::Avx2:
        *routines = ScaleRowsAvx2();
        break;
    default: // nothing of SSSE3 or SSE4.1 helps here
        *routines = {nullptr, nullptr};
        break;
    }
    return routines->scale3xRow != nullptr;
}

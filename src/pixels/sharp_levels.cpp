// Sharp scaling's routines at each instruction-set level (simd_level.h).
#include "pixels/sharp_scale_rows.h"

bool SharpRoutinesAt(SimdLevel level, SharpRowRoutines* routines) {
    switch (level) {
    case SimdLevel::Plain:
        *routines = SharpRowsPlain();
        break;
    case SimdLevel::Sse2:
        *routines = SharpRowsSse2();
        break;
    case SimdLevel::Ssse3:
        *routines = SharpRowsSsse3();
        break;
    case SimdLevel::Sse41: // nothing of SSE4.1 helps here
        return false;
    case SimdLevel::Avx2:
        *routines = SharpRowsAvx2();
        break;
    }
    return routines->across != nullptr;
}

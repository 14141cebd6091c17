// The many-block hq2x routines built for processors with SSSE3 (this file's target flags
// are set in src/CMakeLists.txt).
#include "pixels/hq2x_rows.h"

#if !defined(LMP_PORTABLE_PIXELS)
#include "pixels/hq2x_lanes.inc"

Hq2xRowRoutines Hq2xRowsSsse3() {
    return {FilterRow, WidenRow};
}
#else
Hq2xRowRoutines Hq2xRowsSsse3() {
    return {nullptr, nullptr};
}
#endif

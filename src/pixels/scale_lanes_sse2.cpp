// The vector Scale3x and Scale2x rows built for processors with SSE2 (this file's target flags
// are set in src/CMakeLists.txt).
#include "pixels/scale_rows.h"

#if !defined(LMP_PORTABLE_PIXELS) && (defined(__i386__) || defined(__x86_64__))
#include "pixels/scale_lanes.inc"

ScaleRowRoutines ScaleRowsSse2() {
    return {Scale3xRow, Scale2xRow};
}
#else
ScaleRowRoutines ScaleRowsSse2() {
    return {nullptr, nullptr};
}
#endif

// The vector MMPX routine built for processors with SSE2 (this file's target flags are set in
// src/CMakeLists.txt).
#include "pixels/mmpx_rows.h"

#if !defined(LMP_PORTABLE_PIXELS) && (defined(__i386__) || defined(__x86_64__))
#include "pixels/mmpx_lanes.inc"

MmpxRowRoutines MmpxRowsSse2() {
    return {FilterRow};
}
#else
MmpxRowRoutines MmpxRowsSse2() {
    return {nullptr};
}
#endif

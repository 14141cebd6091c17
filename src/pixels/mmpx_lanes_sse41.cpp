// The vector MMPX routine built for processors with SSE4.1 (this file's target flags are set in
// src/CMakeLists.txt).
#include "pixels/mmpx_rows.h"

#if !defined(LMP_PORTABLE_PIXELS) && (defined(__i386__) || defined(__x86_64__))
#include "pixels/mmpx_lanes.inc"

MmpxRowRoutines MmpxRowsSse41() {
    return {FilterRow};
}
#else
MmpxRowRoutines MmpxRowsSse41() {
    return {nullptr};
}
#endif

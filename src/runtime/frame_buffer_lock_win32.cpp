// The surface lock: a critical section set up while the program loads, re-entrant for the
// thread that holds it, which the surface remembers so that it can let go of it completely
// around calls the window thread must answer.
#include "platform/load_time_lock.h"
#include "runtime/frame_buffer.h"

#include <atomic>

namespace {

LoadTimeLock SurfaceLock;
const HANDLE RowsMarked = CreateEventA(nullptr, FALSE, FALSE, nullptr); // for the process's life
std::atomic<DWORD> LockOwner{0}; // thread id holding the lock, 0 when free
int LockDepth = 0;               // re-entries of the holder; only the holder touches it

} // namespace

void TakeSurfaceLock() {
    SurfaceLock.Enter();
    LockOwner = GetCurrentThreadId();
    ++LockDepth;
}

void ReleaseSurfaceLock() {
    if (--LockDepth == 0) LockOwner = 0;
    SurfaceLock.Leave();
}

bool CallerHoldsLock() {
    return LockOwner.load() == GetCurrentThreadId();
}

int DropCallersLock() {
    if (!CallerHoldsLock()) return 0;
    const int depth = LockDepth;
    for (int i = 0; i < depth; ++i) ReleaseSurfaceLock();
    return depth;
}

void RetakeCallersLock(int depth) {
    for (int i = 0; i < depth; ++i) TakeSurfaceLock();
}

void SignalRowsMarked() {
    if (RowsMarked) SetEvent(RowsMarked);
}

void* RowsMarkedEvent() {
    return RowsMarked;
}

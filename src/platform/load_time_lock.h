// A critical section that is set up while the program loads, before any thread that could
// take it exists, and lives until the program ends. Declare one at namespace scope.
#pragma once

#include "platform/win32.h"

struct LoadTimeLock {
    CRITICAL_SECTION section;
    LoadTimeLock() { InitializeCriticalSection(&section); }
    LoadTimeLock(const LoadTimeLock&) = delete;
    LoadTimeLock& operator=(const LoadTimeLock&) = delete;
    void Enter() { EnterCriticalSection(&section); }
    void Leave() { LeaveCriticalSection(&section); }
};

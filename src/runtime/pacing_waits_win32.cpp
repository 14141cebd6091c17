// The smooth pacing's precise waits and raised threads (clock.h, threads.h).
#include "platform/win32.h"
#include "runtime/clock.h"
#include "runtime/system_library.h"
#include "runtime/threads.h"

#include <cmath>

namespace {

// CREATE_WAITABLE_TIMER_HIGH_RESOLUTION, which older Windows refuse (the timer is then null).
constexpr DWORD HighResolutionTimer = 0x00000002;

HANDLE ThreadsTimer() {
    thread_local const HANDLE timer =
        CreateWaitableTimerExW(nullptr, nullptr, HighResolutionTimer, TIMER_ALL_ACCESS);
    return timer;
}

// The calling thread's place in the "Games" task (null: not in it). Each thread's own.
thread_local HANDLE GamesTask = nullptr;

using JoinTask = HANDLE(WINAPI*)(LPCWSTR task, LPDWORD index);
using LeaveTask = BOOL(WINAPI*)(HANDLE task);

template <typename Function> Function FromAvrt(const char* name) {
    static const HMODULE avrt = LoadSystemLibrary("avrt.dll");
    return avrt ? reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(avrt, name)))
                : nullptr;
}

} // namespace

void SleepUntil(double deadline) {
    const double left = deadline - Timer();
    if (left <= 0) return;
    if (HANDLE timer = ThreadsTimer()) {
        LARGE_INTEGER due{};
        due.QuadPart = -static_cast<LONGLONG>(left * 1e7); // relative, in 100 ns
        if (SetWaitableTimer(timer, &due, 0, nullptr, nullptr, FALSE)) {
            WaitForSingleObject(timer, INFINITE);
            return;
        }
    }
    SleepMs(int(std::lround(left * 1000.0)));
}

void RaiseThreadForPacing() {
    if (const JoinTask join = FromAvrt<JoinTask>("AvSetMmThreadCharacteristicsW")) {
        DWORD index = 0;
        GamesTask = join(L"Games", &index);
        if (GamesTask) return;
    }
    SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_TIME_CRITICAL);
}

void LowerThreadFromPacing() {
    if (GamesTask) {
        if (const LeaveTask leave = FromAvrt<LeaveTask>("AvRevertMmThreadCharacteristics"))
            leave(GamesTask);
        GamesTask = nullptr;
        return;
    }
    SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_NORMAL);
}

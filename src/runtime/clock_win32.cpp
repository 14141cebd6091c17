// The clock's Windows parts (clock.h): the system timer's period and the smooth pacing's
// precise waits.
#include "platform/win32.h"
#include "runtime/clock.h"
#include "runtime/system_library.h"

#include <cmath>

namespace {

// CREATE_WAITABLE_TIMER_HIGH_RESOLUTION, which older Windows refuse (the timer is then null).
constexpr DWORD HighResolutionTimer = 0x00000002;

HANDLE ThreadsTimer() {
    thread_local const HANDLE timer =
        CreateWaitableTimerExW(nullptr, nullptr, HighResolutionTimer, TIMER_ALL_ACCESS);
    return timer;
}

template <typename Function> Function FromWinmm(const char* name) {
    static const HMODULE winmm = LoadSystemLibrary("winmm.dll");
    return ModuleFunction<Function>(winmm, name);
}

using TimerPeriod = MMRESULT(WINAPI*)(UINT period);

} // namespace

bool BeginTimerPeriod(UINT milliseconds) {
    const TimerPeriod begin = FromWinmm<TimerPeriod>("timeBeginPeriod");
    return begin && begin(milliseconds) == TIMERR_NOERROR;
}

void EndTimerPeriod(UINT milliseconds) {
    if (const TimerPeriod end = FromWinmm<TimerPeriod>("timeEndPeriod")) end(milliseconds);
}

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

// Waiting for the desktop's compositions without blocking the window thread: DwmFlush has no
// time-out, so it runs on a flush thread of its own (one per process, started on first use),
// which signals each composition; the window thread waits for that signal at most a bound it
// chooses and handles its messages meanwhile. A DwmFlush that never returns (a compositor that
// stopped) holds only the flush thread, which the process end takes with it.
#include "platform/performance_counter.h"
#include "runtime/system_library.h"
#include "runtime/threads.h"
#include "runtime/viewer_log.h"
#include "window/surface_win32.h"

#include <atomic>
#include <cmath>
#include <cstdio>

namespace {

using Flush = HRESULT(WINAPI*)();
using TimingInfo = HRESULT(WINAPI*)(HWND, DWM_TIMING_INFO*);

// Threads. Set up once by the first window thread that waits (window threads follow one
// another, never overlap) before the flush thread starts; afterwards the window thread asks
// through `wanted` and the flush thread answers through `composed`, `returnedAt` and
// `succeeded`, written before `composed` is set.
struct CompositorRecord {
    bool setUp = false;
    bool runs = false; // the flush thread started
    Flush flush = nullptr;
    TimingInfo timing = nullptr;
    HANDLE wanted = nullptr;                 // auto-reset: a composition is wanted
    HANDLE composed = nullptr;               // auto-reset: one has happened
    std::atomic<std::int64_t> returnedAt{0}; // performance counter
    std::atomic<bool> succeeded{false};
};

CompositorRecord Compositor;

template <typename Function> Function FromDwm(const char* name) {
    static const HMODULE dwm = LoadSystemLibrary("dwmapi.dll");
    return ModuleFunction<Function>(dwm, name);
}

// Only the smooth pacing waits for compositions: the flush thread that tells them runs as
// raised as the window thread that waits for it, for the process's life.
DWORD WINAPI FlushThreadMain(LPVOID) {
    RaiseThreadForPacing();
    for (;;) {
        WaitForSingleObject(Compositor.wanted, INFINITE);
        const bool succeeded = SUCCEEDED(Compositor.flush());
        Compositor.returnedAt = PerformanceCounterNow();
        Compositor.succeeded = succeeded;
        SetEvent(Compositor.composed);
    }
}

// False where Windows has no DwmFlush or the thread cannot start.
bool FlushThreadRuns() {
    if (Compositor.setUp) return Compositor.runs;
    Compositor.setUp = true;
    Compositor.flush = FromDwm<Flush>("DwmFlush");
    Compositor.timing = FromDwm<TimingInfo>("DwmGetCompositionTimingInfo");
    Compositor.wanted = CreateEventA(nullptr, FALSE, FALSE, nullptr);
    Compositor.composed = CreateEventA(nullptr, FALSE, FALSE, nullptr);
    if (!Compositor.flush || !Compositor.wanted || !Compositor.composed) return false;
    HANDLE thread = CreateThread(nullptr, 0, FlushThreadMain, nullptr, 0, nullptr);
    if (!thread) return false;
    CloseHandle(thread);
    Compositor.runs = true;
    return true;
}

double Now() {
    return PerformanceCounterSeconds(PerformanceCounterNow());
}

} // namespace

void RestAfterFailedWait(DWORD result) {
    if (result != WAIT_FAILED) return;
    static std::atomic<bool> logged{false};
    if (!logged.exchange(true)) {
        char line[96];
        std::snprintf(line, sizeof line, "window: a message wait failed (error %lu)",
                      static_cast<unsigned long>(GetLastError()));
        AppendViewerLog(line);
    }
    SleepEx(10, FALSE);
}

double CompositorRefreshPeriod() {
    if (!FlushThreadRuns() || !Compositor.timing) return 0.0;
    // From Windows 8.1 only the whole desktop's timing is told: a null window.
    DWM_TIMING_INFO info{};
    info.cbSize = sizeof info;
    if (FAILED(Compositor.timing(nullptr, &info))) return 0.0;
    if (info.rateRefresh.uiNumerator && info.rateRefresh.uiDenominator)
        return double(info.rateRefresh.uiDenominator) / info.rateRefresh.uiNumerator;
    return info.qpcRefreshPeriod ? PerformanceCounterSeconds(std::int64_t(info.qpcRefreshPeriod))
                                 : 0.0;
}

CompositionWait AwaitComposition(double boundSeconds, double* returnedAt, void (*handleMessages)(),
                                 HANDLE wake) {
    if (!FlushThreadRuns()) return CompositionWait::Failed;
    ResetEvent(Compositor.composed); // a composition asked for earlier is not this one
    SetEvent(Compositor.wanted);
    const HANDLE events[2] = {Compositor.composed, wake};
    const DWORD count = wake ? 2 : 1;
    const double deadline = Now() + boundSeconds;
    for (double left = boundSeconds; left > 0; left = deadline - Now()) {
        const DWORD waitMs = DWORD(std::ceil(left * 1000.0));
        const DWORD woke =
            MsgWaitForMultipleObjectsEx(count, events, waitMs, WindowWakeMask, MWMO_INPUTAVAILABLE);
        RestAfterFailedWait(woke);
        if (woke == WAIT_OBJECT_0) {
            *returnedAt = PerformanceCounterSeconds(Compositor.returnedAt.load());
            return Compositor.succeeded.load() ? CompositionWait::Composed
                                               : CompositionWait::Failed;
        }
        if (woke == WAIT_OBJECT_0 + 1 && wake) return CompositionWait::Woken;
        if (woke != WAIT_OBJECT_0 + count) return CompositionWait::Failed;
        handleMessages();
    }
    return CompositionWait::Failed;
}

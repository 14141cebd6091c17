// Threads for the application (the viewer's render thread) over CreateThread, and the smooth
// pacing's raised threads.
#include "runtime/threads.h"

#include "platform/win32.h"
#include "runtime/system_library.h"

struct ThreadRecord {
    HANDLE handle;
    ThreadProcedure procedure;
    void* parameter;
};

namespace {
DWORD WINAPI ThreadStart(LPVOID parameter) {
    auto* thread = static_cast<ThreadRecord*>(parameter);
    thread->procedure(thread->parameter);
    return 0;
}

// The calling thread's place in the "Games" task (null: not in it). Each thread's own.
thread_local HANDLE GamesTask = nullptr;

using JoinTask = HANDLE(WINAPI*)(LPCWSTR task, LPDWORD index);
using LeaveTask = BOOL(WINAPI*)(HANDLE task);

template <typename Function> Function FromAvrt(const char* name) {
    static const HMODULE avrt = LoadSystemLibrary("avrt.dll");
    return ModuleFunction<Function>(avrt, name);
}

} // namespace

ThreadRecord* StartThread(ThreadProcedure procedure, void* parameter, unsigned stackSize) {
    auto* thread = new ThreadRecord{nullptr, procedure, parameter};
    thread->handle = CreateThread(nullptr, stackSize, ThreadStart, thread, 0, nullptr);
    if (!thread->handle) {
        delete thread;
        return nullptr;
    }
    return thread;
}

void WaitThread(ThreadRecord* thread) {
    if (!thread) return;
    WaitForSingleObject(thread->handle, INFINITE);
    CloseHandle(thread->handle);
    delete thread;
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

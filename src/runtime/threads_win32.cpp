// Threads for the application (the viewer's render thread) over CreateThread, and the smooth
// pacing's raised threads.
#include "runtime/threads.h"

#include "platform/win32_com.h"
#include "runtime/system_library.h"

struct ThreadRecord {
    HANDLE handle;
    ThreadProcedure procedure;
    void* parameter;
    ThreadCom com;
};

namespace {
// A thread that cannot enter COM still runs: what it does with COM then fails and says so.
DWORD WINAPI ThreadStart(LPVOID parameter) {
    auto* thread = static_cast<ThreadRecord*>(parameter);
    const bool com = thread->com == ThreadCom::Apartment &&
                     SUCCEEDED(CoInitializeEx(nullptr, COINIT_MULTITHREADED));
    thread->procedure(thread->parameter);
    if (com) CoUninitialize();
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

ThreadRecord* StartThread(ThreadProcedure procedure, void* parameter, unsigned stackSize,
                          ThreadCom com) {
    auto* thread = new ThreadRecord{nullptr, procedure, parameter, com};
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

// Threads for the application (the viewer's render thread) over CreateThread.
#include "runtime/threads.h"

#include "platform/win32.h"

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

// The print worker's thread and the render thread's side of the hand-over (print_worker.h).
#include "capture/print_worker.h"

#include "game/target_game.h"
#include "runtime/threads.h"
#include "window/surface.h"

namespace {

DWORD WINAPI PrintWorkerThread(LPVOID parameter) {
    PrintWorkerRecord& worker = *static_cast<PrintWorkerRecord*>(parameter);
    const HANDLE wake[] = {worker.quitEvent, worker.requestEvent}; // the end comes first
    // The sample waits for the print: with the smooth pacing the worker runs as raised as the
    // render thread that waits for it.
    const bool raised = worker.raised;
    if (raised) RaiseThreadForPacing();
    while (WaitForMultipleObjects(2, wake, FALSE, INFINITE) == WAIT_OBJECT_0 + 1) {
        ResetEvent(worker.requestEvent);
        worker.result = RunPrintJob(worker, worker.window, worker.dc, worker.job);
        SetEvent(worker.doneEvent);
    }
    if (raised) LowerThreadFromPacing();
    return 0;
}

void CloseWorkerHandles(PrintWorkerRecord& worker) {
    for (HANDLE* handle :
         {&worker.thread, &worker.requestEvent, &worker.doneEvent, &worker.quitEvent}) {
        if (*handle) CloseHandle(*handle);
        *handle = nullptr;
    }
}

// Once, on the first job; a worker that cannot be started is not tried again.
bool StartWorker(PrintWorkerRecord& worker) {
    if (worker.thread) return true;
    if (worker.unavailable) return false;
    worker.requestEvent = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    worker.doneEvent = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    worker.quitEvent = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    if (worker.requestEvent && worker.doneEvent && worker.quitEvent)
        worker.thread = CreateThread(nullptr, 0, PrintWorkerThread, &worker, 0, nullptr);
    if (!worker.thread) {
        CloseWorkerHandles(worker);
        worker.unavailable = true;
    }
    return worker.thread != nullptr;
}

} // namespace

int RunPrintJob(PrintWorkerRecord& worker, HWND window, HDC dc, int job) {
    if ((job & PrintJobProbe) && !GameAnswers(window)) return -5;
    if (!(job & PrintJobPrint)) return PrintJobAnswered;
    worker.printBegan = Timer();
    const bool printed = PrintWindow(window, dc, 0);
    worker.printEnded = Timer();
    return printed ? 1 : -3;
}

int PrintThroughWorker(PrintWorkerRecord& worker, HWND window, HDC dc, int job, DWORD waitMs) {
    if (!StartWorker(worker)) return RunPrintJob(worker, window, dc, job);
    worker.window = window;
    worker.dc = dc;
    worker.job = job;
    worker.inFlight = true;
    SetEvent(worker.requestEvent);
    return AwaitPrintJob(worker, waitMs);
}

int AwaitPrintJob(PrintWorkerRecord& worker, DWORD waitMs) {
    if (!worker.inFlight) return PrintJobRunning;
    if (WaitForSingleObject(worker.doneEvent, waitMs) != WAIT_OBJECT_0) return PrintJobRunning;
    ResetEvent(worker.doneEvent);
    worker.inFlight = false;
    return worker.result;
}

void StopPrintWorker(PrintWorkerRecord& worker) {
    if (!worker.thread) return;
    SetEvent(worker.quitEvent);
    // A stuck print is not waited for: the worker ends by itself once PrintWindow returns.
    if (worker.inFlight && AwaitPrintJob(worker, 0) == PrintJobRunning) return;
    WaitForSingleObject(worker.thread, INFINITE);
    CloseWorkerHandles(worker);
}

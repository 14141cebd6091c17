// The print worker: a thread of its own for the two calls of a capture that wait on the
// game's window thread, the probe (GameAnswers) and PrintWindow. A game that answers the
// probe and then stops answering holds the worker inside PrintWindow for as long as it hangs,
// never the render thread: that waits for a job a bounded time and asks for no other job
// while one is in flight, so at most one print is in flight and none is queued behind it.
#pragma once

#include "platform/win32.h"

// What a job does, as flags: ask whether the game answers, print the window into dc.
constexpr int PrintJobProbe = 1;
constexpr int PrintJobPrint = 2;

// A job's result: 1 printed, -3 PrintWindow failed, -5 the game did not answer the probe
// (nothing printed), PrintJobAnswered for a probe alone that the game answered;
// PrintJobRunning when it has not ended within the wait and is still in flight.
constexpr int PrintJobAnswered = 2;
constexpr int PrintJobRunning = -6;

// Threads. The render thread starts the worker with the first job, hands it one job at a
// time and stops it; the worker thread runs the jobs. There is no lock: the record passes
// between the two by its events. The render thread writes window, dc and job only while no
// job is in flight (inFlight false), then sets requestEvent; the worker reads them, writes
// result and then sets doneEvent, after which the render thread reads result. From the
// request until the render thread has seen doneEvent, dc and the bitmap selected into it
// belong to the worker. inFlight, unavailable and the handles belong to the render thread
// (the worker only waits on and sets the events). A worker stopped inside a stuck print keeps
// its record, its handles and dc until the process ends.
struct PrintWorkerRecord {
    HANDLE thread = nullptr;
    HANDLE requestEvent = nullptr; // manual reset: set by the render thread, reset by the worker
    HANDLE doneEvent = nullptr;    // manual reset: set by the worker, reset by the render thread
    HANDLE quitEvent = nullptr;    // set by StopPrintWorker
    bool unavailable = false;      // the worker could not be started: jobs run where asked
    // The worker runs raised for the smooth pacing (threads.h); set before the first job.
    bool raised = false;
    bool inFlight = false;
    HWND window = nullptr;
    HDC dc = nullptr;
    int job = 0;
    int result = 0;
    double printBegan = 0.0, printEnded = 0.0; // of the job's PrintWindow (Timer()), with result
};

// The job itself, on the thread that calls it; a print's start and end go to the record.
int RunPrintJob(PrintWorkerRecord& worker, HWND window, HDC dc, int job);
// Hands a job to the worker (started on the first job) and waits at most waitMs for its
// result; PrintJobRunning when it runs on. Where no worker could be started, the job runs
// here. Only while no job is in flight.
int PrintThroughWorker(PrintWorkerRecord& worker, HWND window, HDC dc, int job, DWORD waitMs);
// The result of the job in flight once it has ended, waiting for that at most waitMs;
// PrintJobRunning while it runs on.
int AwaitPrintJob(PrintWorkerRecord& worker, DWORD waitMs);
// Ends the worker. One between jobs has ended when this returns, its handles closed; one
// still inside a job is told to end after it and left to do so, nothing of it closed (a
// later call closes it once it has ended).
void StopPrintWorker(PrintWorkerRecord& worker);

// Threads of the simulated desktop. A thread made with CreateThread runs on a thread of its
// own, but only one simulated thread runs at a time: the running one hands over whenever it
// waits (an event, a thread, a sleep, a window that does not answer), and the clock moves on
// only while every thread waits, to the earliest time one of them wakes. Tests with a worker
// thread are therefore as repeatable as single-threaded ones. The test's own thread is the
// first simulated thread; among threads that can go on, the earliest made goes first.
#include "sim_desktop.h"

#include <condition_variable>
#include <limits>
#include <mutex>
#include <thread>

namespace {

constexpr double Never = std::numeric_limits<double>::infinity();

struct SimThread {
    HANDLE handle = nullptr;
    LPTHREAD_START_ROUTINE start = nullptr;
    LPVOID parameter = nullptr;
    std::thread thread;
    // While it waits: the wait ends when ready() holds or the clock reaches untilMs.
    std::function<bool()> ready;
    double untilMs = Never;
    bool ended = false;
    bool abandoned = false; // ResetSim ends it inside its wait
};

// Unwinds an abandoned thread out of the wait it was in.
struct SimThreadAbandoned {};

// The hand-over: `running` says which thread may go on; the others wait on `turn`.
struct Scheduler {
    std::mutex gate;
    std::condition_variable turn;
    SimThread test; // the test's own thread
    SimThread* running = &test;
    std::vector<std::unique_ptr<SimThread>> threads;
    ~Scheduler() { EndAll(); }
    void EndAll();
};

Scheduler& S() {
    static Scheduler scheduler;
    return scheduler;
}

thread_local SimThread* self = nullptr;

SimThread* Self() {
    return self ? self : &S().test;
}

bool CanGoOn(SimThread* thread) {
    return !thread->ended && (Sim.clockMs >= thread->untilMs || (thread->ready && thread->ready()));
}

SimThread* NextToGoOn(SimThread* me) {
    if (me != &S().test && CanGoOn(&S().test)) return &S().test;
    for (auto& thread : S().threads)
        if (thread.get() != me && CanGoOn(thread.get())) return thread.get();
    return nullptr;
}

double EarliestWake() {
    double wake = S().test.untilMs;
    for (auto& thread : S().threads)
        if (!thread->ended) wake = std::min(wake, thread->untilMs);
    if (!Sim.scheduled.empty()) wake = std::min(wake, Sim.scheduled.begin()->first);
    return wake;
}

// Lets `next` go on; returns when this thread's turn comes again (at once for one that ended).
void HandOver(SimThread* me, SimThread* next) {
    std::unique_lock<std::mutex> lock(S().gate);
    S().running = next;
    S().turn.notify_all();
    if (me->ended) return;
    S().turn.wait(lock, [&] { return S().running == me; });
    if (me->abandoned) throw SimThreadAbandoned{};
}

// Hands over to whichever thread can go on, moving the clock while none can; returns when
// this thread may go on itself. A thread that ended returns once it has handed over.
void LetOthersRun(SimThread* me) {
    for (;;) {
        if (!me->ended && CanGoOn(me)) return;
        if (SimThread* next = NextToGoOn(me)) {
            HandOver(me, next);
            if (me->ended) return;
            continue;
        }
        const double wake = EarliestWake();
        if (wake == Never) { // every thread waits for ever: the test's wait fails
            S().test.untilMs = Sim.clockMs;
            if (me == &S().test) return;
            HandOver(me, &S().test);
            if (me->ended) return;
            continue;
        }
        SimMoveClock(wake - Sim.clockMs);
    }
}

void RunThread(SimThread* thread) {
    self = thread;
    {
        std::unique_lock<std::mutex> lock(S().gate);
        S().turn.wait(lock, [&] { return S().running == thread; });
    }
    try {
        if (!thread->abandoned) thread->start(thread->parameter);
    } catch (const SimThreadAbandoned&) {}
    thread->ended = true;
    if (thread->abandoned) {
        HandOver(thread, &S().test); // back to SimEndThreads
        return;
    }
    LetOthersRun(thread);
}

SimThread* ThreadOf(HANDLE handle) {
    for (auto& thread : S().threads)
        if (thread->handle == handle) return thread.get();
    return nullptr;
}

} // namespace

bool SimThreadsRunning() {
    for (auto& thread : S().threads)
        if (!thread->ended) return true;
    return false;
}

// A wait may nest in another when a scheduled step that the clock runs waits itself.
bool SimWaitUntil(const std::function<bool()>& ready, double untilMs) {
    SimThread* me = Self();
    std::function<bool()> outerReady = std::move(me->ready);
    const double outerUntil = me->untilMs;
    me->ready = ready;
    me->untilMs = untilMs;
    LetOthersRun(me);
    const bool done = ready();
    me->ready = std::move(outerReady);
    me->untilMs = outerUntil;
    return done;
}

int SimThreadState(HANDLE handle) {
    const SimThread* thread = ThreadOf(handle);
    return thread ? (thread->ended ? 1 : 0) : -1;
}

bool SimCloseThreadHandle(HANDLE handle) {
    SimThread* thread = ThreadOf(handle);
    if (!thread) return false;
    thread->handle = nullptr;
    return true;
}

void Scheduler::EndAll() {
    for (auto& thread : threads) {
        if (!thread->ended) {
            thread->abandoned = true;
            HandOver(&test, thread.get());
        }
        thread->thread.join();
    }
    threads.clear();
    running = &test;
}

void SimEndThreads() {
    S().EndAll();
}

HANDLE CreateThread(SECURITY_ATTRIBUTES*, SIZE_T, LPTHREAD_START_ROUTINE start, LPVOID parameter,
                    DWORD, DWORD* threadId) {
    Sim.calls.push_back("CreateThread");
    if (Sim.failCreateThread) return nullptr;
    static std::uintptr_t next = 0x7000;
    auto thread = std::make_unique<SimThread>();
    thread->handle = reinterpret_cast<HANDLE>(next += 4);
    thread->start = start;
    thread->parameter = parameter;
    thread->ready = [] { return true; }; // goes on as soon as its maker waits
    if (threadId) *threadId = DWORD(next);
    thread->thread = std::thread(RunThread, thread.get());
    S().threads.push_back(std::move(thread));
    return S().threads.back()->handle;
}

// Critical sections of the simulated desktop: a real re-entrant mutex, so tests with threads
// are serialised as on Windows, and each entry and exit logged, so single-threaded tests can
// see which calls ran under the lock.
#include "sim_desktop.h"

#include <mutex>

namespace {

std::recursive_mutex& MutexOf(CRITICAL_SECTION* section) {
    return *static_cast<std::recursive_mutex*>(section->lock);
}

} // namespace

void InitializeCriticalSection(CRITICAL_SECTION* section) {
    section->lock = new std::recursive_mutex;
}

void EnterCriticalSection(CRITICAL_SECTION* section) {
    MutexOf(section).lock();
    ++Sim.criticalSectionDepth;
    Sim.calls.push_back("EnterCriticalSection");
}

void LeaveCriticalSection(CRITICAL_SECTION* section) {
    Sim.calls.push_back("LeaveCriticalSection");
    --Sim.criticalSectionDepth;
    MutexOf(section).unlock();
}

void DeleteCriticalSection(CRITICAL_SECTION* section) {
    delete static_cast<std::recursive_mutex*>(section->lock);
    section->lock = nullptr;
}

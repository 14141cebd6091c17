// The simulated desktop's record, clock, and the helpers tests use to set it up.
#include "sim_desktop.h"

#include "window/surface.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

SimDesktopRecord Sim;

namespace {
std::uintptr_t nextHandle = 0x1000;
}

void ResetSim() {
    SimEndThreads();
    CloseSurface();
    Surface = SurfaceState{};
    Sim = SimDesktopRecord{};
    SimResetThreadDpiContext();
    Sim.processes[Sim.currentProcessId].processId = Sim.currentProcessId;
}

HWND SimAddWindow(const std::string& className, const std::string& caption, RECT rect,
                  DWORD processId, HWND parent) {
    HWND handle = reinterpret_cast<HWND>(nextHandle += 0x10);
    SimWindow window;
    window.handle = handle;
    window.parent = parent;
    window.className = className;
    window.caption = caption;
    window.rect = rect;
    window.processId = processId;
    Sim.windows[handle] = window;
    Sim.creationOrder.push_back(handle);
    return handle;
}

void SimRemoveWindow(HWND window) {
    std::vector<HWND> children;
    for (auto& [handle, w] : Sim.windows)
        if (w.parent == window) children.push_back(handle);
    for (HWND child : children) SimRemoveWindow(child);
    Sim.windows.erase(window);
    std::erase(Sim.creationOrder, window);
    if (Sim.foreground == window) Sim.foreground = nullptr;
}

SimWindow& SimWindowOf(HWND window) {
    return Sim.windows.at(window);
}

DWORD SimAddProcess(const std::string& applicationName) {
    DWORD id = Sim.nextProcessId++;
    Sim.processes[id] =
        SimProcess{id, STILL_ACTIVE, NORMAL_PRIORITY_CLASS, applicationName, "", {}};
    return id;
}

void SimEndProcess(DWORD processId, DWORD exitCode) {
    Sim.processes.at(processId).exitCode = exitCode;
    std::vector<HWND> owned;
    for (auto& [handle, w] : Sim.windows)
        if (w.processId == processId && !w.parent) owned.push_back(handle);
    for (HWND handle : owned) SimRemoveWindow(handle);
}

void SimKeyDown(BYTE key) {
    Sim.keyDown[key] = true;
    Sim.keyPressedSinceQuery[key] = true;
}

void SimKeyUp(BYTE key) {
    Sim.keyDown[key] = false;
}

void SimTap(BYTE key) {
    Sim.keyDown[key] = false;
    Sim.keyPressedSinceQuery[key] = true;
}

void SimAt(double atMs, std::function<void()> fn) {
    Sim.scheduled.emplace(atMs, std::move(fn));
}

void SimAfter(double delayMs, std::function<void()> fn) {
    SimAt(Sim.clockMs + delayMs, std::move(fn));
}

void SimAdvance(double ms) {
    if (SimThreadsRunning())
        SimWaitUntil([] { return false; }, Sim.clockMs + ms);
    else
        SimMoveClock(ms);
}

void SimMoveClock(double ms) {
    const double end = Sim.clockMs + ms;
    while (!Sim.scheduled.empty() && Sim.scheduled.begin()->first <= end) {
        auto it = Sim.scheduled.begin();
        Sim.clockMs = std::max(Sim.clockMs, it->first);
        auto fn = std::move(it->second);
        Sim.scheduled.erase(it);
        fn();
    }
    Sim.clockMs = std::max(Sim.clockMs, end); // a scheduled step may have slept past end
}

double SimHungFor(HWND window) {
    auto w = Sim.windows.find(window);
    if (w == Sim.windows.end()) return 0.0;
    auto process = Sim.processes.find(w->second.processId);
    if (process == Sim.processes.end()) return 0.0;
    const SimProcess& p = process->second;
    double wait = std::max(0.0, p.hungUntilMs - Sim.clockMs);
    if (p.answerPeriodMs > 0.0) {
        const double since = Sim.clockMs + wait - p.answerPhaseMs;
        const double loop =
            p.answerPhaseMs + std::ceil(since / p.answerPeriodMs - 1e-9) * p.answerPeriodMs;
        wait = std::max(wait, loop - Sim.clockMs);
    }
    return wait;
}

void SimWaitForAnswer(HWND window) {
    const double wait = SimHungFor(window);
    if (wait > 0.0) SimAdvance(wait);
}

int SimLiveGdiObjects() {
    return Sim.gdiObjectsMade - Sim.gdiObjectsDeleted;
}

std::vector<std::string> SimCallsStartingWith(const std::string& prefix) {
    std::vector<std::string> found;
    for (const auto& call : Sim.calls)
        if (call.rfind(prefix, 0) == 0) found.push_back(call);
    return found;
}

std::string SimHandleText(const void* handle) {
    char text[32];
    std::snprintf(text, sizeof text, "%p", handle);
    return text;
}

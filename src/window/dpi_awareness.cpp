#include "window/dpi_awareness.h"

#include <atomic>

namespace {

std::atomic<bool> DpiAware{true};

using SetThreadContext = DPI_AWARENESS_CONTEXT(WINAPI*)(DPI_AWARENESS_CONTEXT context);
using GetThreadContext = DPI_AWARENESS_CONTEXT(WINAPI*)();
using GetWindowContext = DPI_AWARENESS_CONTEXT(WINAPI*)(HWND window);
using AwarenessOf = DPI_AWARENESS(WINAPI*)(DPI_AWARENESS_CONTEXT context);
using DpiForWindow = UINT(WINAPI*)(HWND window);

template <typename Function> Function User32(const char* name) {
    HMODULE user32 = GetModuleHandleA("user32.dll");
    return user32
               ? reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(user32, name)))
               : nullptr;
}

// Looked up on each use: these calls are rare (start-up, switches, display changes).
struct ContextFunctions {
    SetThreadContext setThread = User32<SetThreadContext>("SetThreadDpiAwarenessContext");
    GetThreadContext getThread = User32<GetThreadContext>("GetThreadDpiAwarenessContext");
    GetWindowContext ofWindow = User32<GetWindowContext>("GetWindowDpiAwarenessContext");
    AwarenessOf awareness = User32<AwarenessOf>("GetAwarenessFromDpiAwarenessContext");
    bool Offered() const { return setThread && getThread && ofWindow && awareness; }
    bool PerMonitor(DPI_AWARENESS_CONTEXT context) const {
        return context && awareness(context) == DPI_AWARENESS_PER_MONITOR_AWARE;
    }
};

} // namespace

void SetSurfaceDpiAware(bool aware) {
    DpiAware = aware;
}

bool SurfaceDpiAware() {
    return DpiAware;
}

bool MakeThreadPerMonitorAware() {
    const ContextFunctions f;
    if (!f.Offered()) return false;
    if (!f.setThread(DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE_V2))
        f.setThread(DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE);
    return f.PerMonitor(f.getThread());
}

WindowDpiScope::WindowDpiScope(HWND window) {
    const ContextFunctions f;
    if (f.Offered() && window)
        if (DPI_AWARENESS_CONTEXT context = f.ofWindow(window)) previous = f.setThread(context);
}

WindowDpiScope::~WindowDpiScope() {
    if (!previous) return;
    const ContextFunctions f;
    f.setThread(previous);
}

PerMonitorDpiScope::PerMonitorDpiScope() {
    const ContextFunctions f;
    if (!f.Offered()) return;
    previous = f.setThread(DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE_V2);
    if (!previous) previous = f.setThread(DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE);
}

PerMonitorDpiScope::~PerMonitorDpiScope() {
    if (!previous) return;
    const ContextFunctions f;
    f.setThread(previous);
}

bool WindowPerMonitorAware(HWND window) {
    const ContextFunctions f;
    return f.Offered() && window && f.PerMonitor(f.ofWindow(window));
}

UINT WindowDpi(HWND window) {
    const auto dpiFor = User32<DpiForWindow>("GetDpiForWindow");
    const UINT dpi = dpiFor && window ? dpiFor(window) : 0;
    return dpi ? dpi : 96;
}

int ScaledLength(int length, UINT dpi) {
    return int((static_cast<long long>(length) * dpi + 48) / 96);
}

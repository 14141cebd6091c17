// DPI awareness contexts of the simulated desktop, found as Windows 10 offers them: through
// GetProcAddress on user32. A thread's context is per thread; the handles it returns are not
// the pseudo values passed in, so only their awareness may be compared.
#include "sim_desktop.h"

#include <cstdint>
#include <cstring>

namespace {

const DPI_AWARENESS_CONTEXT UnawareContext = reinterpret_cast<DPI_AWARENESS_CONTEXT>(0x6010);
const DPI_AWARENESS_CONTEXT PerMonitorContext = reinterpret_cast<DPI_AWARENESS_CONTEXT>(0x6012);
const DPI_AWARENESS_CONTEXT PerMonitorV2Context = reinterpret_cast<DPI_AWARENESS_CONTEXT>(0x6022);
thread_local DPI_AWARENESS_CONTEXT ThreadContext = nullptr; // null: unaware, as at start

HMODULE const User32 = reinterpret_cast<HMODULE>(std::uintptr_t(0x7700));
HMODULE const Kernel32 = reinterpret_cast<HMODULE>(std::uintptr_t(0x7600));

DPI_AWARENESS Awareness(DPI_AWARENESS_CONTEXT context) {
    if (context == UnawareContext || context == DPI_AWARENESS_CONTEXT_UNAWARE)
        return DPI_AWARENESS_UNAWARE;
    if (context == PerMonitorContext || context == PerMonitorV2Context ||
        context == DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE ||
        context == DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE_V2)
        return DPI_AWARENESS_PER_MONITOR_AWARE;
    return DPI_AWARENESS_INVALID;
}

DPI_AWARENESS WINAPI SimAwarenessFromContext(DPI_AWARENESS_CONTEXT context) {
    return Awareness(context);
}

DPI_AWARENESS_CONTEXT WINAPI SimGetThreadContext() {
    return ThreadContext ? ThreadContext : UnawareContext;
}

DPI_AWARENESS_CONTEXT WINAPI SimSetThreadContext(DPI_AWARENESS_CONTEXT context) {
    if (Sim.refusesPerMonitorV2 && context == DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE_V2)
        return nullptr; // ERROR_INVALID_PARAMETER
    DPI_AWARENESS_CONTEXT next = context;
    if (context == DPI_AWARENESS_CONTEXT_UNAWARE) next = UnawareContext;
    if (context == DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE) next = PerMonitorContext;
    if (context == DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE_V2) next = PerMonitorV2Context;
    if (Awareness(next) == DPI_AWARENESS_INVALID) return nullptr;
    const DPI_AWARENESS_CONTEXT previous = SimGetThreadContext();
    ThreadContext = next;
    SimSetThreadPerMonitorAware(Awareness(next) == DPI_AWARENESS_PER_MONITOR_AWARE);
    return previous;
}

DPI_AWARENESS_CONTEXT WINAPI SimWindowContext(HWND window) {
    const auto w = Sim.windows.find(window);
    if (w == Sim.windows.end()) return nullptr;
    return w->second.perMonitorAware ? PerMonitorContext : UnawareContext;
}

UINT WINAPI SimDpiForWindow(HWND window) {
    const auto w = Sim.windows.find(window);
    if (w == Sim.windows.end()) return 0;
    if (!w->second.perMonitorAware) return 96;
    return SimMonitorDpi(MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST));
}

template <typename Function> FARPROC Proc(Function function) {
    return reinterpret_cast<FARPROC>(reinterpret_cast<void*>(function));
}

} // namespace

void SimResetThreadDpiContext() {
    ThreadContext = nullptr;
    SimSetThreadPerMonitorAware(false);
}

HMODULE GetModuleHandleA(LPCSTR moduleName) {
    if (moduleName && std::strcmp(moduleName, "kernel32.dll") == 0) return Kernel32;
    return moduleName && std::strcmp(moduleName, "user32.dll") == 0 ? User32 : nullptr;
}

FARPROC GetProcAddress(HMODULE module, LPCSTR name) {
    if (module == Kernel32 && Sim.processInformationOffered)
        return std::strcmp(name, "SetProcessInformation") ? nullptr
                                                          : Proc(&SimSetProcessInformation);
    if (module != User32 || !Sim.dpiContextsOffered) return nullptr;
    const std::string n = name;
    if (n == "SetThreadDpiAwarenessContext") return Proc(&SimSetThreadContext);
    if (n == "GetThreadDpiAwarenessContext") return Proc(&SimGetThreadContext);
    if (n == "GetWindowDpiAwarenessContext") return Proc(&SimWindowContext);
    if (n == "GetAwarenessFromDpiAwarenessContext") return Proc(&SimAwarenessFromContext);
    if (n == "GetDpiForWindow") return Proc(&SimDpiForWindow);
    return nullptr;
}

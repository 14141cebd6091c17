#include "game/timer_exemption.h"

namespace {

constexpr DWORD FirstTimerThrottlingBuild = 22000; // Windows 11
constexpr DWORD FirstSpeedThrottlingBuild = 16299; // Windows 10 1709

bool BuildAtLeast(DWORD build) {
    OSVERSIONINFOA info{};
    info.dwOSVersionInfoSize = sizeof info;
    if (!GetVersionExA(&info)) return false;
    return info.dwMajorVersion > 10 || (info.dwMajorVersion == 10 && info.dwBuildNumber >= build);
}

// The policies in controlMask are the process's own, never throttled (nothing in the state
// mask); an empty mask gives them all back to Windows.
bool SetThrottling(HANDLE process, ULONG controlMask) {
    using SetInformation =
        BOOL(WINAPI*)(HANDLE, PROCESS_INFORMATION_CLASS, LPVOID information, DWORD size);
    HMODULE kernel32 = GetModuleHandleA("kernel32.dll");
    const auto set = kernel32 ? reinterpret_cast<SetInformation>(reinterpret_cast<void*>(
                                    GetProcAddress(kernel32, "SetProcessInformation")))
                              : nullptr;
    if (!set || !process) return false;
    PROCESS_POWER_THROTTLING_STATE state{};
    state.Version = PROCESS_POWER_THROTTLING_CURRENT_VERSION;
    state.ControlMask = controlMask;
    state.StateMask = 0;
    return set(process, ProcessPowerThrottling, &state, sizeof state) != FALSE;
}

} // namespace

bool TimerThrottlingExists() {
    return BuildAtLeast(FirstTimerThrottlingBuild);
}

bool SpeedThrottlingExists() {
    return BuildAtLeast(FirstSpeedThrottlingBuild);
}

bool SetTimerExemption(HANDLE process, bool exempt) {
    return SetThrottling(process, exempt ? PROCESS_POWER_THROTTLING_IGNORE_TIMER_RESOLUTION : 0);
}

bool SetSpeedExemption(HANDLE process) {
    return SetThrottling(process, PROCESS_POWER_THROTTLING_EXECUTION_SPEED);
}

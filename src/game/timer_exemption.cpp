#include "game/timer_exemption.h"

bool TimerThrottlingExists() {
    OSVERSIONINFOA info{};
    info.dwOSVersionInfoSize = sizeof info;
    if (!GetVersionExA(&info)) return false;
    return info.dwMajorVersion > 10 || (info.dwMajorVersion == 10 && info.dwBuildNumber >= 22000);
}

bool SetTimerExemption(HANDLE process, bool exempt) {
    using SetInformation =
        BOOL(WINAPI*)(HANDLE, PROCESS_INFORMATION_CLASS, LPVOID information, DWORD size);
    HMODULE kernel32 = GetModuleHandleA("kernel32.dll");
    const auto set = kernel32 ? reinterpret_cast<SetInformation>(reinterpret_cast<void*>(
                                    GetProcAddress(kernel32, "SetProcessInformation")))
                              : nullptr;
    if (!set || !process) return false;
    PROCESS_POWER_THROTTLING_STATE state{};
    state.Version = PROCESS_POWER_THROTTLING_CURRENT_VERSION;
    state.ControlMask = exempt ? PROCESS_POWER_THROTTLING_IGNORE_TIMER_RESOLUTION : 0;
    state.StateMask = 0; // with the flag in ControlMask: never throttle the timer
    return set(process, ProcessPowerThrottling, &state, sizeof state) != FALSE;
}

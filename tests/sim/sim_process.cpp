// Process functions of the simulated desktop.
#include "sim_desktop.h"

#include "platform/program_files.h"

#include <cstring>
#include <limits>
#include <string>

namespace {

HANDLE PseudoCurrentProcess() {
    return reinterpret_cast<HANDLE>(-1);
}

DWORD ProcessOf(HANDLE handle) {
    if (handle == PseudoCurrentProcess()) return Sim.currentProcessId;
    auto it = Sim.openHandles.find(handle);
    return it == Sim.openHandles.end() ? 0 : it->second;
}

HANDLE NewHandle(DWORD processId) {
    static std::uintptr_t next = 0x5000;
    HANDLE handle = reinterpret_cast<HANDLE>(next += 4);
    Sim.openHandles[handle] = processId;
    return handle;
}

} // namespace

HANDLE GetCurrentProcess() {
    return PseudoCurrentProcess();
}

DWORD GetCurrentProcessId() {
    return Sim.currentProcessId;
}

HANDLE OpenProcess(DWORD access, BOOL, DWORD processId) {
    Sim.calls.push_back("OpenProcess(" + std::to_string(access) + "," + std::to_string(processId) +
                        ")");
    Sim.openProcessAccess.push_back(access);
    if (!Sim.processes.count(processId)) return nullptr;
    return NewHandle(processId);
}

BOOL CloseHandle(HANDLE handle) {
    Sim.calls.push_back("CloseHandle(" + SimHandleText(handle) + ")");
    Sim.inheritable.erase(handle);
    return Sim.openHandles.erase(handle) || Sim.events.erase(handle) || SimCloseThreadHandle(handle)
               ? TRUE
               : FALSE;
}

BOOL GetVersionExA(OSVERSIONINFOA* info) {
    *info = OSVERSIONINFOA{sizeof *info, 10, 0, Sim.windowsBuild, 2, {}};
    return TRUE;
}

BOOL SimSetProcessInformation(HANDLE process, PROCESS_INFORMATION_CLASS kind, LPVOID information,
                              DWORD size) {
    const auto* state = static_cast<const PROCESS_POWER_THROTTLING_STATE*>(information);
    const auto it = Sim.processes.find(ProcessOf(process));
    if (it == Sim.processes.end() || Sim.refusesProcessInformation ||
        kind != ProcessPowerThrottling || size != sizeof *state ||
        (state->ControlMask & Sim.refusedThrottlingFlags))
        return FALSE;
    const std::pair<ULONG, ULONG> set{state->ControlMask, state->StateMask};
    if (!set.first || (set.first & PROCESS_POWER_THROTTLING_IGNORE_TIMER_RESOLUTION))
        it->second.powerThrottling.push_back(set);
    if (!set.first || (set.first & PROCESS_POWER_THROTTLING_EXECUTION_SPEED))
        it->second.speedThrottling.push_back(set);
    return TRUE;
}

// Per thread, as on Windows; without ES_CONTINUOUS it changes nothing and reads the state.
EXECUTION_STATE SetThreadExecutionState(EXECUTION_STATE flags) {
    thread_local EXECUTION_STATE state = ES_CONTINUOUS;
    const EXECUTION_STATE previous = state;
    if (flags & ES_CONTINUOUS) Sim.calls.push_back("SetThreadExecutionState"), state = flags;
    return previous;
}

void AppendViewerLog(const char* line) {
    Sim.viewerLog.emplace_back(line);
}

DWORD GetPriorityClass(HANDLE process) {
    auto it = Sim.processes.find(ProcessOf(process));
    return it == Sim.processes.end() ? 0 : it->second.priorityClass;
}

BOOL DuplicateHandle(HANDLE sourceProcess, HANDLE source, HANDLE targetProcess, HANDLE* target,
                     DWORD, BOOL inheritHandle, DWORD) {
    Sim.calls.push_back("DuplicateHandle(" + SimHandleText(source) + "," +
                        std::to_string(inheritHandle) + ")");
    if (sourceProcess != PseudoCurrentProcess() || targetProcess != PseudoCurrentProcess())
        return FALSE;
    if (auto event = Sim.events.find(source); event != Sim.events.end()) {
        static std::uintptr_t next = 0x9000;
        *target = reinterpret_cast<HANDLE>(next += 4);
        Sim.events[*target] = event->second;
    } else {
        const DWORD id = ProcessOf(source);
        if (!id) return FALSE;
        *target = NewHandle(id);
    }
    if (inheritHandle) Sim.inheritable.insert(*target);
    return TRUE;
}

HANDLE CreateEventA(SECURITY_ATTRIBUTES*, BOOL, BOOL initialState, LPCSTR name) {
    Sim.calls.push_back(std::string("CreateEventA(") + (name ? name : "") + ")");
    static std::uintptr_t next = 0x8000;
    HANDLE handle = reinterpret_cast<HANDLE>(next += 4);
    Sim.events[handle] = std::make_shared<bool>(initialState != FALSE);
    return handle;
}

BOOL SetEvent(HANDLE event) {
    Sim.calls.push_back("SetEvent(" + SimHandleText(event) + ")");
    auto it = Sim.events.find(event);
    if (it == Sim.events.end()) return FALSE;
    *it->second = true;
    return TRUE;
}

BOOL ResetEvent(HANDLE event) {
    Sim.calls.push_back("ResetEvent(" + SimHandleText(event) + ")");
    auto it = Sim.events.find(event);
    if (it == Sim.events.end()) return FALSE;
    *it->second = false;
    return TRUE;
}

namespace {

// The first signalled handle's index, -1 when none is, -2 when one is no waitable handle.
int FirstSignalled(DWORD count, const HANDLE* handles) {
    for (DWORD i = 0; i < count; ++i) {
        if (auto event = Sim.events.find(handles[i]); event != Sim.events.end()) {
            if (*event->second) return int(i);
            continue;
        }
        if (const int thread = SimThreadState(handles[i]); thread >= 0) {
            if (thread == 1) return int(i);
            continue;
        }
        auto process = Sim.processes.find(ProcessOf(handles[i]));
        if (process == Sim.processes.end()) return -2;
        if (process->second.exitCode != STILL_ACTIVE) return int(i);
    }
    return -1;
}

// While threads run, the wait lets them go on; otherwise the clock runs on to the next
// scheduled change while nothing is signalled.
DWORD WaitWithThreads(DWORD count, const HANDLE* handles, DWORD milliseconds) {
    const double end = milliseconds == INFINITE ? std::numeric_limits<double>::infinity()
                                                : Sim.clockMs + milliseconds;
    int found = -1;
    SimWaitUntil([&] { return (found = FirstSignalled(count, handles)) != -1; }, end);
    if (found == -2) return WAIT_FAILED;
    if (found >= 0) return WAIT_OBJECT_0 + DWORD(found);
    return milliseconds == INFINITE ? WAIT_FAILED : WAIT_TIMEOUT;
}

} // namespace

// Events (manual reset), threads and processes. Waiting forever with nothing scheduled fails
// instead of hanging.
DWORD WaitForMultipleObjects(DWORD count, const HANDLE* handles, BOOL waitAll, DWORD milliseconds) {
    Sim.calls.push_back("WaitForMultipleObjects(" + std::to_string(count) + ")");
    if (waitAll || count == 0) return WAIT_FAILED;
    if (SimThreadsRunning()) return WaitWithThreads(count, handles, milliseconds);
    const double end = milliseconds == INFINITE ? 1e300 : Sim.clockMs + milliseconds;
    for (;;) {
        const int found = FirstSignalled(count, handles);
        if (found == -2) return WAIT_FAILED;
        if (found >= 0) return WAIT_OBJECT_0 + DWORD(found);
        if (Sim.scheduled.empty() || Sim.scheduled.begin()->first > end) {
            if (milliseconds == INFINITE) return WAIT_FAILED;
            Sim.clockMs = end;
            return WAIT_TIMEOUT;
        }
        SimAdvance(Sim.scheduled.begin()->first - Sim.clockMs);
    }
}

DWORD WaitForSingleObject(HANDLE handle, DWORD milliseconds) {
    return WaitForMultipleObjects(1, &handle, FALSE, milliseconds);
}

BOOL SystemParametersInfoA(UINT action, UINT parameter, void* value, UINT) {
    if (action == SPI_GETSCREENSAVEACTIVE && value) {
        *static_cast<BOOL*>(value) = Sim.screenSaverActive ? TRUE : FALSE;
        return TRUE;
    }
    if (action == SPI_SETSCREENSAVEACTIVE) {
        Sim.calls.push_back("SystemParametersInfoA(screen saver," + std::to_string(parameter) +
                            ")");
        Sim.screenSaverActive = parameter != 0;
        return TRUE;
    }
    return FALSE;
}

BOOL SetPriorityClass(HANDLE process, DWORD priorityClass) {
    const DWORD id = ProcessOf(process);
    Sim.calls.push_back("SetPriorityClass(" + std::to_string(id) + "," +
                        std::to_string(priorityClass) + ")");
    auto it = Sim.processes.find(id);
    if (it == Sim.processes.end()) return FALSE;
    it->second.priorityClass = priorityClass;
    return TRUE;
}

BOOL GetExitCodeProcess(HANDLE process, DWORD* exitCode) {
    auto it = Sim.processes.find(ProcessOf(process));
    if (it == Sim.processes.end()) return FALSE;
    *exitCode = it->second.exitCode;
    return TRUE;
}

namespace {

bool StartupBlank(const STARTUPINFOA* s) {
    return s && !s->lpReserved && !s->lpDesktop && !s->lpTitle && !s->dwX && !s->dwY &&
           !s->dwXSize && !s->dwYSize && !s->dwXCountChars && !s->dwYCountChars &&
           !s->dwFillAttribute && !s->dwFlags && !s->wShowWindow && !s->cbReserved2 &&
           !s->lpReserved2 && !s->hStdInput && !s->hStdOutput && !s->hStdError;
}

} // namespace

BOOL CreateProcessA(LPCSTR applicationName, LPSTR commandLine,
                    SECURITY_ATTRIBUTES* processAttributes, SECURITY_ATTRIBUTES* threadAttributes,
                    BOOL inheritHandles, DWORD creationFlags, LPVOID environment,
                    LPCSTR currentDirectory, STARTUPINFOA* startupInfo,
                    PROCESS_INFORMATION* processInformation) {
    const std::string application = applicationName ? applicationName : "";
    const std::string line = commandLine ? commandLine : "";
    Sim.calls.push_back("CreateProcessA(" + application + "|" + line + ")");
    Sim.processStarts.push_back(SimProcessStart{
        processAttributes != nullptr, threadAttributes != nullptr, inheritHandles != FALSE,
        creationFlags, environment != nullptr, currentDirectory != nullptr,
        startupInfo ? startupInfo->cb : 0, StartupBlank(startupInfo)});
    const DWORD id = Sim.nextProcessId;
    if (Sim.onCreateProcess && !Sim.onCreateProcess(application, line, id)) return FALSE;
    SimAddProcess(application);
    Sim.processes[id].commandLine = line;
    for (HANDLE handle : Sim.inheritable) {
        if (!inheritHandles) break;
        SimHandleObject& object = Sim.processes[id].inherited[handle];
        if (auto event = Sim.events.find(handle); event != Sim.events.end())
            object.event = event->second;
        else
            object.processId = ProcessOf(handle);
    }
    processInformation->hProcess = NewHandle(id);
    processInformation->hThread = NewHandle(id);
    processInformation->dwProcessId = id;
    processInformation->dwThreadId = id + 1;
    return TRUE;
}

DWORD GetModuleFileNameA(HMODULE, LPSTR fileName, DWORD size) {
    if (size == 0) return 0;
    const std::size_t n = std::min<std::size_t>(Sim.modulePath.size(), size - 1);
    std::memcpy(fileName, Sim.modulePath.data(), n);
    fileName[n] = '\0';
    return DWORD(n);
}

LPSTR GetCommandLineA() {
    return Sim.commandLine.data();
}

void SimAdoptInheritedHandles(DWORD processId) {
    for (const auto& [handle, object] : Sim.processes.at(processId).inherited) {
        if (object.event)
            Sim.events[handle] = object.event;
        else
            Sim.openHandles[handle] = object.processId;
    }
}

// The wide calls' side of the seam: natively text has no code page, so the ANSI calls stand in.
std::string ProgramPath() {
    return Sim.modulePath;
}
std::string ProgramCommandLine() {
    return Sim.commandLine;
}
std::FILE* OpenFileAt(const std::string& path, const char* mode) {
    return std::fopen(path.c_str(), mode);
}
BOOL StartProgram(const std::string& application, std::string commandLine, BOOL inheritHandles,
                  PROCESS_INFORMATION* started) {
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    return CreateProcessA(application.c_str(), commandLine.data(), nullptr, nullptr, inheritHandles,
                          0, nullptr, nullptr, &startup, started);
}

// Process functions of the simulated desktop.
#include "sim_desktop.h"

#include <cstring>
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

HANDLE OpenProcess(DWORD access, BOOL, DWORD processId) {
    Sim.calls.push_back("OpenProcess(" + std::to_string(access) + "," + std::to_string(processId) +
                        ")");
    Sim.openProcessAccess.push_back(access);
    if (!Sim.processes.count(processId)) return nullptr;
    return NewHandle(processId);
}

BOOL CloseHandle(HANDLE handle) {
    Sim.calls.push_back("CloseHandle(" + SimHandleText(handle) + ")");
    return Sim.openHandles.erase(handle) ? TRUE : FALSE;
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

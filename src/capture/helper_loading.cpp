// Loading the helper library into the game: checks before, the remote LoadLibraryW call.
#include "capture/helper_parts.h"

#include "capture/remote_capture.h"
#include "capture/remote_frame.h"

#include <cstring>

namespace {

// How long LoadLibraryW may take inside the game.
constexpr DWORD LoadWaitMs = 5000;

} // namespace

bool SameBitness(HANDLE game) {
    BOOL viewerWow = FALSE, gameWow = FALSE;
    if (!IsWow64Process(GetCurrentProcess(), &viewerWow) || !IsWow64Process(game, &gameWow))
        return false;
    return viewerWow == gameWow;
}

bool ModuleLoadedInProcess(DWORD gameProcessId, const std::wstring& path) {
    const std::wstring name = path.substr(path.find_last_of(L'\\') + 1); // npos + 1: all of it
    HANDLE snapshot =
        CreateToolhelp32Snapshot(TH32CS_SNAPMODULE | TH32CS_SNAPMODULE32, gameProcessId);
    if (snapshot == INVALID_HANDLE_VALUE) return false;
    MODULEENTRY32W module{};
    module.dwSize = sizeof module;
    bool found = false;
    for (BOOL more = Module32FirstW(snapshot, &module); more && !found;
         more = Module32NextW(snapshot, &module))
        found = lstrcmpiW(module.szModule, name.c_str()) == 0;
    CloseHandle(snapshot);
    return found;
}

// A helper of an earlier viewer unloads itself right after it lets go of the shared frame.
// Loading ours meanwhile would only raise its load count and start no thread, so wait for
// it to be gone.
bool EarlierHelperGone(DWORD gameProcessId, const std::wstring& path) {
    const DWORD start = GetTickCount();
    while (ModuleLoadedInProcess(gameProcessId, path)) {
        if (RemoteWaitLeft(start, GetTickCount(), EarlierHelperWaitMs) == 0) {
            LogHelperFailure("an earlier helper is still loaded in the game", ERROR_BUSY);
            return false;
        }
        SleepEx(20, FALSE);
    }
    return true;
}

bool LoadHelperIntoGame(HANDLE game, DWORD gameProcessId, const std::wstring& path) {
    const SIZE_T pathBytes = (path.size() + 1) * sizeof(wchar_t);
    void* remotePath =
        VirtualAllocEx(game, nullptr, pathBytes, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
    if (!remotePath) {
        LogHelperFailure("no memory in the game for the helper's path", GetLastError());
        return false;
    }
    SIZE_T written = 0;
    auto loadLibrary = reinterpret_cast<LPTHREAD_START_ROUTINE>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("kernel32.dll"), "LoadLibraryW")));
    HANDLE thread = nullptr;
    if (WriteProcessMemory(game, remotePath, path.c_str(), pathBytes, &written) &&
        written == pathBytes && loadLibrary)
        thread = CreateRemoteThread(game, nullptr, 0, loadLibrary, remotePath, 0, nullptr);
    if (!thread) {
        LogHelperFailure("the helper cannot be started in the game", GetLastError());
        VirtualFreeEx(game, remotePath, 0, MEM_RELEASE);
        return false;
    }
    const bool returned = WaitForSingleObject(thread, LoadWaitMs) == WAIT_OBJECT_0;
    CloseHandle(thread);
    // The path may only go once LoadLibraryW has stopped reading it.
    if (returned) VirtualFreeEx(game, remotePath, 0, MEM_RELEASE);
    // The thread's exit code holds only 32 bits of the module handle, so the game's module
    // list tells whether the library is in (no earlier copy was, see EarlierHelperGone).
    if (!returned || !ModuleLoadedInProcess(gameProcessId, path)) {
        LogHelperFailure(returned ? "the game did not load the helper library"
                                  : "loading the helper library in the game did not finish",
                         returned ? ERROR_MOD_NOT_FOUND : WAIT_TIMEOUT);
        return false;
    }
    return true;
}

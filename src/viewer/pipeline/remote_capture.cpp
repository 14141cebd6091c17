// The viewer's side of the capture helper: deciding to use it, writing the helper library out
// of the viewer's resources, loading it into the game, and fetching frames from it.
#include "viewer/pipeline/remote_capture.h"

#include "viewer/pipeline/remote_frame.h"

#include <cstdio>
#include <cstring>

namespace {

struct RemoteCaptureRecord {
    bool decided = false;
    bool active = false;
    DWORD gameProcessId = 0;
    HANDLE mapping = nullptr;
    HANDLE requestEvent = nullptr;
    HANDLE doneEvent = nullptr;
    RemoteFrameHeader* header = nullptr;
    const std::uint8_t* pixels = nullptr;
};

RemoteCaptureRecord RemoteCapture;

// How long the viewer waits for the helper of an earlier viewer to end before it gives up.
constexpr DWORD EarlierHelperWaitMs = 1500;
// How long LoadLibraryA may take inside the game.
constexpr DWORD LoadWaitMs = 5000;

bool RunningUnderWine() {
    HMODULE ntdll = GetModuleHandleA("ntdll.dll");
    return ntdll && GetProcAddress(ntdll, "wine_get_version");
}

void LogFailure(const char* what, DWORD error) {
    char line[256];
    std::snprintf(line, sizeof line, "capture helper not used: %s (error %lu)", what,
                  static_cast<unsigned long>(error));
    AppendViewerLog(line);
}

// A security descriptor whose only entry grants the current user full access.
struct OwnerOnlySecurity {
    SECURITY_DESCRIPTOR descriptor;
    alignas(8) BYTE acl[256];
    alignas(8) BYTE user[sizeof(TOKEN_USER) + SECURITY_MAX_SID_SIZE];
    SECURITY_ATTRIBUTES attributes;
};

bool MakeOwnerOnlySecurity(OwnerOnlySecurity* security) {
    HANDLE token = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token)) return false;
    DWORD length = 0;
    const BOOL gotUser =
        GetTokenInformation(token, TokenUser, security->user, sizeof security->user, &length);
    CloseHandle(token);
    if (!gotUser) return false;
    PSID sid = reinterpret_cast<TOKEN_USER*>(security->user)->User.Sid;
    ACL* acl = reinterpret_cast<ACL*>(security->acl);
    if (!InitializeAcl(acl, sizeof security->acl, ACL_REVISION) ||
        !AddAccessAllowedAce(acl, ACL_REVISION, GENERIC_ALL, sid) ||
        !InitializeSecurityDescriptor(&security->descriptor, SECURITY_DESCRIPTOR_REVISION) ||
        !SetSecurityDescriptorDacl(&security->descriptor, TRUE, acl, FALSE))
        return false;
    security->attributes.nLength = sizeof(SECURITY_ATTRIBUTES);
    security->attributes.lpSecurityDescriptor = &security->descriptor;
    security->attributes.bInheritHandle = FALSE;
    return true;
}

void CloseExchange() {
    if (RemoteCapture.header) UnmapViewOfFile(RemoteCapture.header);
    HANDLE handles[] = {RemoteCapture.mapping, RemoteCapture.requestEvent, RemoteCapture.doneEvent};
    for (HANDLE handle : handles)
        if (handle) CloseHandle(handle);
    RemoteCapture.header = nullptr;
    RemoteCapture.pixels = nullptr;
    RemoteCapture.mapping = RemoteCapture.requestEvent = RemoteCapture.doneEvent = nullptr;
}

// Creates the block and the two events under the game's names. An object that exists already
// belongs to a helper that is still ending, or to someone else: it is never used.
HANDLE CreateFreshObject(SECURITY_ATTRIBUTES* attributes, const char* kind) {
    char name[96];
    RemoteObjectName(RemoteCapture.gameProcessId, kind, name, sizeof name);
    HANDLE object = std::strcmp(kind, "map") == 0
                        ? CreateFileMappingA(INVALID_HANDLE_VALUE, attributes, PAGE_READWRITE, 0,
                                             RemoteFrameMappingSize, name)
                        : CreateEventA(attributes, FALSE, FALSE, name);
    if (object && GetLastError() == ERROR_ALREADY_EXISTS) {
        CloseHandle(object);
        SetLastError(ERROR_ALREADY_EXISTS);
        return nullptr;
    }
    return object;
}

bool CreateExchange() {
    OwnerOnlySecurity security;
    if (!MakeOwnerOnlySecurity(&security)) {
        LogFailure("no security descriptor for the shared frame", GetLastError());
        return false;
    }
    const DWORD start = GetTickCount();
    for (;;) {
        RemoteCapture.mapping = CreateFreshObject(&security.attributes, "map");
        if (RemoteCapture.mapping || GetLastError() != ERROR_ALREADY_EXISTS) break;
        if (RemoteWaitLeft(start, GetTickCount(), EarlierHelperWaitMs) == 0) break;
        SleepEx(50, FALSE);
    }
    if (RemoteCapture.mapping) {
        RemoteCapture.requestEvent = CreateFreshObject(&security.attributes, "request");
        if (RemoteCapture.requestEvent)
            RemoteCapture.doneEvent = CreateFreshObject(&security.attributes, "done");
    }
    if (!RemoteCapture.doneEvent) {
        LogFailure("the shared frame's names are taken (another viewer on this game?)",
                   GetLastError());
        return false;
    }
    RemoteCapture.header = static_cast<RemoteFrameHeader*>(MapViewOfFile(
        RemoteCapture.mapping, FILE_MAP_READ | FILE_MAP_WRITE, 0, 0, RemoteFrameMappingSize));
    if (!RemoteCapture.header) {
        LogFailure("the shared frame cannot be mapped", GetLastError());
        return false;
    }
    InitRemoteFrameHeader(RemoteCapture.header, GetCurrentProcessId());
    RemoteCapture.pixels =
        reinterpret_cast<const std::uint8_t*>(RemoteCapture.header) + RemoteFrameHeaderSize;
    return true;
}

// Whether the file at `path` holds exactly `size` bytes equal to `bytes`.
bool FileHolds(const char* path, const void* bytes, DWORD size) {
    HANDLE file = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    bool same = GetFileSize(file, nullptr) == size;
    const auto* expected = static_cast<const BYTE*>(bytes);
    BYTE chunk[4096];
    for (DWORD done = 0; same && done < size;) {
        DWORD got = 0;
        const DWORD want = size - done < sizeof chunk ? size - done : DWORD(sizeof chunk);
        same = ReadFile(file, chunk, want, &got, nullptr) && got == want &&
               std::memcmp(chunk, expected + done, want) == 0;
        done += got;
    }
    CloseHandle(file);
    return same;
}

bool WriteWholeFile(const char* path, const void* bytes, DWORD size) {
    HANDLE file =
        CreateFileA(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    DWORD written = 0;
    const bool ok = WriteFile(file, bytes, size, &written, nullptr) && written == size;
    return CloseHandle(file) && ok;
}

// Writes the helper library from the viewer's resources into a per-user temporary folder,
// unless an identical copy is there, and leaves its path in `path`.
bool PrepareHelperFile(char* path, DWORD pathSize) {
    HRSRC resource = FindResourceA(nullptr, MAKEINTRESOURCEA(LMP_CAPTURE_HELPER_RESOURCE),
                                   MAKEINTRESOURCEA(10)); // RT_RCDATA
    HGLOBAL loaded = resource ? LoadResource(nullptr, resource) : nullptr;
    const void* bytes = loaded ? LockResource(loaded) : nullptr;
    const DWORD size = resource ? SizeofResource(nullptr, resource) : 0;
    if (!bytes || size == 0) {
        LogFailure("the viewer holds no helper library", GetLastError());
        return false;
    }
    char folder[MAX_PATH];
    const DWORD length = GetTempPathA(sizeof folder, folder);
    char name[64];
    HelperFileName(bytes, size, int(sizeof(void*) * 8), name, sizeof name);
    if (length == 0 || length + 11 + std::strlen(name) >= pathSize) {
        LogFailure("no usable temporary folder", GetLastError());
        return false;
    }
    std::snprintf(path, pathSize, "%slumenpane", folder);
    CreateDirectoryA(path, nullptr); // it may exist already
    std::snprintf(path, pathSize, "%slumenpane\\%s", folder, name);
    if (FileHolds(path, bytes, size)) return true;
    if (!WriteWholeFile(path, bytes, size) || !FileHolds(path, bytes, size)) {
        LogFailure("the helper library cannot be written to the temporary folder", GetLastError());
        return false;
    }
    return true;
}

bool SameBitness(HANDLE game) {
    BOOL viewerWow = FALSE, gameWow = FALSE;
    if (!IsWow64Process(GetCurrentProcess(), &viewerWow) || !IsWow64Process(game, &gameWow))
        return false;
    return viewerWow == gameWow;
}

// Whether a module of this file name is loaded in the game.
bool HelperLoadedInGame(const char* path) {
    const char* slash = std::strrchr(path, '\\');
    const char* name = slash ? slash + 1 : path;
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPMODULE | TH32CS_SNAPMODULE32,
                                               RemoteCapture.gameProcessId);
    if (snapshot == INVALID_HANDLE_VALUE) return false;
    MODULEENTRY32 module{};
    module.dwSize = sizeof module;
    bool found = false;
    for (BOOL more = Module32First(snapshot, &module); more && !found;
         more = Module32Next(snapshot, &module))
        found = lstrcmpiA(module.szModule, name) == 0;
    CloseHandle(snapshot);
    return found;
}

// A helper of an earlier viewer unloads itself right after it lets go of the shared frame.
// Loading ours meanwhile would only raise its load count and start no thread, so wait for
// it to be gone.
bool EarlierHelperGone(const char* path) {
    const DWORD start = GetTickCount();
    while (HelperLoadedInGame(path)) {
        if (RemoteWaitLeft(start, GetTickCount(), EarlierHelperWaitMs) == 0) {
            LogFailure("an earlier helper is still loaded in the game", ERROR_BUSY);
            return false;
        }
        SleepEx(20, FALSE);
    }
    return true;
}

// Runs LoadLibraryA(path) on a new thread of the game and waits for it to return.
bool LoadHelperIntoGame(HANDLE game, const char* path) {
    const SIZE_T pathBytes = std::strlen(path) + 1;
    void* remotePath =
        VirtualAllocEx(game, nullptr, pathBytes, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
    if (!remotePath) {
        LogFailure("no memory in the game for the helper's path", GetLastError());
        return false;
    }
    SIZE_T written = 0;
    auto loadLibrary = reinterpret_cast<LPTHREAD_START_ROUTINE>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("kernel32.dll"), "LoadLibraryA")));
    HANDLE thread = nullptr;
    if (WriteProcessMemory(game, remotePath, path, pathBytes, &written) && written == pathBytes &&
        loadLibrary)
        thread = CreateRemoteThread(game, nullptr, 0, loadLibrary, remotePath, 0, nullptr);
    if (!thread) {
        LogFailure("the helper cannot be started in the game", GetLastError());
        VirtualFreeEx(game, remotePath, 0, MEM_RELEASE);
        return false;
    }
    const bool returned = WaitForSingleObject(thread, LoadWaitMs) == WAIT_OBJECT_0;
    DWORD loaded = 0;
    GetExitCodeThread(thread, &loaded);
    CloseHandle(thread);
    // The path may only go once LoadLibraryA has stopped reading it.
    if (returned) VirtualFreeEx(game, remotePath, 0, MEM_RELEASE);
    if (!returned || loaded == 0) {
        LogFailure(returned ? "the game did not load the helper library"
                            : "loading the helper library in the game did not finish",
                   returned ? ERROR_MOD_NOT_FOUND : WAIT_TIMEOUT);
        return false;
    }
    return true;
}

// After loading, the helper's thread opens the block and reports that it runs. A library
// that was still loaded from an earlier viewer starts no new thread and never reports.
bool HelperReported() {
    const DWORD start = GetTickCount();
    for (;;) {
        const std::uint32_t state = RemoteCapture.header->helperState;
        if (state == HelperRunning) return true;
        const DWORD left = RemoteWaitLeft(start, GetTickCount(), RemoteHelperStartMs);
        if (state == HelperStopped || left == 0) break;
        WaitForSingleObject(RemoteCapture.doneEvent, left);
    }
    LogFailure("the helper did not start in the game", WAIT_TIMEOUT);
    return false;
}

bool StartRemoteCapture() {
    HANDLE game =
        OpenProcess(PROCESS_CREATE_THREAD | PROCESS_QUERY_INFORMATION | PROCESS_VM_OPERATION |
                        PROCESS_VM_WRITE | PROCESS_VM_READ | SYNCHRONIZE,
                    FALSE, RemoteCapture.gameProcessId);
    if (!game) {
        LogFailure("the game process cannot be opened", GetLastError());
        return false;
    }
    char path[MAX_PATH];
    bool ok = false;
    if (!SameBitness(game))
        LogFailure("the game and the viewer differ in bitness", ERROR_BAD_EXE_FORMAT);
    else
        ok = CreateExchange() && PrepareHelperFile(path, sizeof path) && EarlierHelperGone(path) &&
             LoadHelperIntoGame(game, path) && HelperReported();
    CloseHandle(game);
    if (!ok) CloseExchange();
    return ok;
}

} // namespace

void AppendViewerLog(const char* line) {
    char path[MAX_PATH];
    const DWORD length = GetModuleFileNameA(nullptr, path, sizeof path);
    if (length == 0 || length >= sizeof path) return;
    char* slash = std::strrchr(path, '\\');
    const std::size_t folder = slash ? std::size_t(slash - path + 1) : 0;
    if (folder + sizeof "lumenpane.log" > sizeof path) return;
    std::memcpy(path + folder, "lumenpane.log", sizeof "lumenpane.log");
    HANDLE file = CreateFileA(path, FILE_APPEND_DATA, FILE_SHARE_READ, nullptr, OPEN_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return;
    DWORD written = 0;
    WriteFile(file, line, DWORD(std::strlen(line)), &written, nullptr);
    WriteFile(file, "\r\n", 2, &written, nullptr);
    CloseHandle(file);
}

bool RemoteCaptureActive(HWND window) {
    if (RemoteCapture.decided) return RemoteCapture.active;
    RemoteCapture.decided = true;
    DWORD gameProcessId = 0;
    GetWindowThreadProcessId(window, &gameProcessId);
    if (!RunningUnderWine() || gameProcessId == 0 || gameProcessId == GetCurrentProcessId())
        return false;
    RemoteCapture.gameProcessId = gameProcessId;
    RemoteCapture.active = StartRemoteCapture();
    return RemoteCapture.active;
}

int FetchRemoteFrame(HWND window, int* width, int* height, const std::uint8_t** pixels) {
    RemoteFrameHeader* header = RemoteCapture.header;
    if (!RemoteCapture.active || !header) return RemoteFrameWaiting;
    if (header->helperState != HelperRunning) {
        // The helper ended (its game is closing): print as usual from now on.
        AppendViewerLog("capture helper ended; printing the game window directly");
        StopRemoteCapture();
        return RemoteFrameWaiting;
    }
    const std::uint32_t sequence =
        PostRemoteRequest(header, static_cast<std::uint64_t>(reinterpret_cast<UINT_PTR>(window)));
    SetEvent(RemoteCapture.requestEvent);
    const DWORD start = GetTickCount();
    int reply = ReadRemoteFrame(header, sequence, width, height);
    while (reply == RemoteFrameWaiting) {
        const DWORD left = RemoteWaitLeft(start, GetTickCount(), RemoteFrameWaitMs);
        const bool woke =
            left > 0 && WaitForSingleObject(RemoteCapture.doneEvent, left) == WAIT_OBJECT_0;
        reply = ReadRemoteFrame(header, sequence, width, height);
        if (!woke) break;
    }
    *pixels = RemoteCapture.pixels;
    return reply;
}

void StopRemoteCapture() {
    if (RemoteCapture.header) {
        RemoteCapture.header->stopRequest = 1;
        SetEvent(RemoteCapture.requestEvent);
    }
    CloseExchange();
    RemoteCapture.active = false;
}

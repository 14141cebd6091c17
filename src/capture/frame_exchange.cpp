// The frame exchange with the helper inside the game: deciding to use it, the shared frame
// and its events, starting the helper and fetching frames.
#include "capture/remote_capture.h"

#include "capture/helper_parts.h"
#include "capture/remote_frame.h"
#include "platform/performance_counter.h"
#include "runtime/viewer_log.h"

#include <cstdio>
#include <cstring>

namespace {

// The exchange's state. Only the render thread uses it (through the capture), after the
// first capture decides whether the helper is used; StopRemoteCapture may also be called by
// the thread that ends the capture once the render thread has stopped.
struct RemoteCaptureRecord {
    bool decided = false;
    bool active = false;
    DWORD gameProcessId = 0;
    HANDLE mapping = nullptr;
    HANDLE requestEvent = nullptr;
    HANDLE doneEvent = nullptr;
    RemoteFrameHeader* header = nullptr;
    const std::uint8_t* pixels = nullptr;
    HWND window = nullptr;       // the window fetched last
    std::uint32_t early = 0;     // the request asked ahead for the next fetch of `window`, or 0
    std::int64_t printTicks = 0; // how long the latest print took
};

RemoteCaptureRecord RemoteCapture;

bool RunningUnderWine() {
    HMODULE ntdll = GetModuleHandleA("ntdll.dll");
    return ntdll && GetProcAddress(ntdll, "wine_get_version");
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
        LogHelperFailure("no security descriptor for the shared frame", GetLastError());
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
        LogHelperFailure("the shared frame's names are taken (another viewer on this game?)",
                         GetLastError());
        return false;
    }
    RemoteCapture.header = static_cast<RemoteFrameHeader*>(MapViewOfFile(
        RemoteCapture.mapping, FILE_MAP_READ | FILE_MAP_WRITE, 0, 0, RemoteFrameMappingSize));
    if (!RemoteCapture.header) {
        LogHelperFailure("the shared frame cannot be mapped", GetLastError());
        return false;
    }
    InitRemoteFrameHeader(RemoteCapture.header, GetCurrentProcessId());
    RemoteCapture.pixels =
        reinterpret_cast<const std::uint8_t*>(RemoteCapture.header) + RemoteFrameHeaderSize;
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
    LogHelperFailure("the helper did not start in the game", WAIT_TIMEOUT);
    return false;
}

bool StartRemoteCapture() {
    HANDLE game =
        OpenProcess(PROCESS_CREATE_THREAD | PROCESS_QUERY_INFORMATION | PROCESS_VM_OPERATION |
                        PROCESS_VM_WRITE | PROCESS_VM_READ | SYNCHRONIZE,
                    FALSE, RemoteCapture.gameProcessId);
    if (!game) {
        LogHelperFailure("the game process cannot be opened", GetLastError());
        return false;
    }
    std::wstring path;
    bool ok = false;
    if (!SameBitness(game)) {
        LogHelperFailure("the game and the viewer differ in bitness", ERROR_BAD_EXE_FORMAT);
    } else if (CreateExchange()) {
        HANDLE checked = PrepareHelperFile(&path);
        ok = checked != INVALID_HANDLE_VALUE &&
             EarlierHelperGone(RemoteCapture.gameProcessId, path) &&
             LoadHelperIntoGame(game, RemoteCapture.gameProcessId, path);
        // Held unchanged until LoadLibraryW in the game has returned.
        if (checked != INVALID_HANDLE_VALUE) CloseHandle(checked);
        ok = ok && HelperReported();
    }
    CloseHandle(game);
    if (!ok) CloseExchange();
    return ok;
}

} // namespace

void LogHelperFailure(const char* what, DWORD error) {
    char line[256];
    std::snprintf(line, sizeof line, "capture helper not used: %s (error %lu)", what,
                  static_cast<unsigned long>(error));
    AppendViewerLog(line);
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

namespace {

std::uint64_t WindowNumber(HWND window) {
    return static_cast<std::uint64_t>(reinterpret_cast<UINT_PTR>(window));
}

// The request this fetch reads: the one asked ahead for this window, else a new one due now.
std::uint32_t RequestForFetch(RemoteFrameHeader* header, HWND window) {
    const std::uint32_t early = RemoteCapture.early;
    RemoteCapture.early = 0;
    if (early != 0 && window == RemoteCapture.window) return early;
    RemoteCapture.window = window;
    const std::uint32_t sequence = PostRemoteRequest(header, WindowNumber(window));
    SetEvent(RemoteCapture.requestEvent);
    return sequence;
}

void NotePrintTime(const RemoteFrameHeader* header) {
    const std::int64_t ticks = header->printEnded - header->printBegan;
    if (ticks >= 0 && ticks < std::int64_t(RemoteFrameWaitMs * PerformanceTicksPerMs()))
        RemoteCapture.printTicks = ticks;
}

} // namespace

bool RemoteFrameArrived(HWND window) {
    const RemoteFrameHeader* header = RemoteCapture.header;
    if (!RemoteCapture.active || !header || RemoteCapture.early == 0 ||
        window != RemoteCapture.window)
        return false;
    int width = 0, height = 0;
    return ReadRemoteFrame(header, RemoteCapture.early, &width, &height) != RemoteFrameWaiting;
}

namespace {

void RequestRemoteFrameDue(std::int64_t due) {
    RemoteFrameHeader* header = RemoteCapture.header;
    if (!RemoteCapture.active || !header || !RemoteCapture.window ||
        header->helperState != HelperRunning)
        return;
    RemoteCapture.early = PostRemoteRequest(header, WindowNumber(RemoteCapture.window), due);
    SetEvent(RemoteCapture.requestEvent);
}

} // namespace

void RequestRemoteFrameAhead(int wakeUpMs) {
    RequestRemoteFrameDue(RemoteDueTime(PerformanceCounterNow(), PerformanceTicksPerMs(), wakeUpMs,
                                        RemoteCapture.printTicks));
}

void RequestRemoteFrameAt(double dueSeconds) {
    RequestRemoteFrameDue(std::int64_t(dueSeconds * PerformanceTicksPerMs() * 1000.0));
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
    const std::uint32_t sequence = RequestForFetch(header, window);
    const DWORD start = GetTickCount();
    int reply = ReadRemoteFrame(header, sequence, width, height);
    while (reply == RemoteFrameWaiting) {
        const DWORD left = RemoteWaitLeft(start, GetTickCount(), RemoteFrameWaitMs);
        const bool woke =
            left > 0 && WaitForSingleObject(RemoteCapture.doneEvent, left) == WAIT_OBJECT_0;
        reply = ReadRemoteFrame(header, sequence, width, height);
        if (!woke) break;
    }
    if (reply == RemoteFrameReady) NotePrintTime(header);
    *pixels = RemoteCapture.pixels;
    return reply;
}

void RemotePrintTimes(std::int64_t* began, std::int64_t* ended) {
    const RemoteFrameHeader* header = RemoteCapture.header;
    *began = header ? header->printBegan : 0;
    *ended = header ? header->printEnded : 0;
}

void StopRemoteCapture() {
    if (RemoteCapture.header) {
        RemoteCapture.header->stopRequest = 1;
        SetEvent(RemoteCapture.requestEvent);
    }
    CloseExchange();
    RemoteCapture.active = false;
    RemoteCapture.early = 0;
    RemoteCapture.window = nullptr;
}

// The capture helper: a small library the viewer loads into the game process when the game's
// window cannot be printed from outside (under Wine). Its one thread prints the game's
// render window into the shared frame block whenever the viewer asks, and ends, unloading the
// library, when the viewer asks it to stop or the viewer's process ends. It changes nothing
// else in the game.
#include "platform/dib.h"
#include "platform/game_contract.h"
#include "platform/performance_counter.h"
#include "platform/win32.h"

#include "capture/remote_frame.h"

#include <cstring>

namespace {

struct HelperRecord {
    HMODULE module = nullptr;
    HANDLE mapping = nullptr;
    RemoteFrameHeader* header = nullptr;
    HANDLE requestEvent = nullptr;
    HANDLE doneEvent = nullptr;
    HANDLE viewerProcess = nullptr;
    HDC memoryDc = nullptr;
    HBITMAP dibSection = nullptr;
    HGDIOBJ firstBitmap = nullptr;
    int dibWidth = 0;
    int dibHeight = 0;
    std::uint32_t answered = 0; // the request answered last
    std::uint32_t seen = 0;     // the request held back for its due time, and since when
    std::int64_t seenAt = 0;
};

HelperRecord Helper;

// How long one wait for a request lasts before the stop flag is looked at again.
constexpr DWORD RequestPollMs = 250;

// Only the first child of this process's game main window is printed.
bool IsGameRenderWindow(HWND window) {
    DWORD owner = 0;
    if (!IsWindow(window)) return false;
    GetWindowThreadProcessId(window, &owner);
    if (owner != GetCurrentProcessId()) return false;
    HWND parent = GetParent(window);
    char className[64] = {};
    if (!parent || !GetClassNameA(parent, className, sizeof className)) return false;
    return std::strcmp(className, GameWindowClass) == 0 && GetWindow(parent, GW_CHILD) == window;
}

bool OpenExchange() {
    char name[96];
    const DWORD self = GetCurrentProcessId();
    RemoteObjectName(self, "map", name, sizeof name);
    Helper.mapping = OpenFileMappingA(FILE_MAP_READ | FILE_MAP_WRITE, FALSE, name);
    if (!Helper.mapping) return false;
    Helper.header = static_cast<RemoteFrameHeader*>(MapViewOfFile(
        Helper.mapping, FILE_MAP_READ | FILE_MAP_WRITE, 0, 0, RemoteFrameMappingSize));
    if (!Helper.header || !RemoteFrameHeaderUsable(Helper.header, RemoteFrameMappingSize))
        return false;
    RemoteObjectName(self, "request", name, sizeof name);
    Helper.requestEvent = OpenEventA(SYNCHRONIZE, FALSE, name);
    RemoteObjectName(self, "done", name, sizeof name);
    Helper.doneEvent = OpenEventA(EVENT_MODIFY_STATE, FALSE, name);
    Helper.viewerProcess = OpenProcess(SYNCHRONIZE, FALSE, Helper.header->viewerProcessId);
    Helper.memoryDc = CreateCompatibleDC(nullptr);
    return Helper.requestEvent && Helper.doneEvent && Helper.viewerProcess && Helper.memoryDc;
}

void CloseExchange() {
    if (Helper.memoryDc) {
        if (Helper.firstBitmap) SelectObject(Helper.memoryDc, Helper.firstBitmap);
        DeleteDC(Helper.memoryDc);
    }
    if (Helper.dibSection) DeleteObject(Helper.dibSection);
    if (Helper.header) {
        Helper.header->helperState = HelperStopped;
        if (Helper.doneEvent) SetEvent(Helper.doneEvent);
        UnmapViewOfFile(Helper.header);
    }
    HANDLE handles[] = {Helper.mapping, Helper.requestEvent, Helper.doneEvent,
                        Helper.viewerProcess};
    for (HANDLE handle : handles)
        if (handle) CloseHandle(handle);
}

// The DIB section lies on the shared block right after its header, so printing writes the
// pixels where the viewer reads them. It is made anew only when the window's size changes.
bool FitDibSection(int width, int height) {
    if (Helper.dibSection && Helper.dibWidth == width && Helper.dibHeight == height) return true;
    if (Helper.dibSection) {
        SelectObject(Helper.memoryDc, Helper.firstBitmap);
        DeleteObject(Helper.dibSection);
        Helper.dibSection = nullptr;
    }
    const BITMAPINFO info = TopDownDibInfo(width, height);
    void* bits = nullptr;
    Helper.dibSection = CreateDIBSection(Helper.memoryDc, &info, DIB_RGB_COLORS, &bits,
                                         Helper.mapping, RemoteFrameHeaderSize);
    if (!Helper.dibSection) return false;
    HGDIOBJ previous = SelectObject(Helper.memoryDc, Helper.dibSection);
    if (!Helper.firstBitmap) Helper.firstBitmap = previous;
    Helper.dibWidth = width;
    Helper.dibHeight = height;
    return true;
}

std::int32_t PrintRequestedWindow(HWND window, int* width, int* height) {
    if (!IsGameRenderWindow(window)) return RemoteFrameNotWindow;
    RECT rect{};
    if (!GetWindowRect(window, &rect)) return RemoteFrameNotWindow;
    *width = rect.right - rect.left;
    *height = rect.bottom - rect.top;
    const std::int32_t refused = RemoteFrameSizeStatus(*width, *height, RemoteFramePixelCapacity);
    if (refused) return refused;
    if (!FitDibSection(*width, *height)) return RemoteFrameNoDib;
    if (!PrintWindow(window, Helper.memoryDc, 0)) return RemoteFramePrintFailed;
    GdiFlush();
    return RemoteFrameReady;
}

// Prints the pending request once it is due and returns how long to wait for the next
// wake-up: until the pending request is due, or the usual poll. A wake-up without a new
// request (the event set again for one already answered, or for the stop request) prints
// nothing.
DWORD ServeRequest() {
    RemoteFrameHeader* header = Helper.header;
    const std::uint32_t sequence = PendingRemoteRequest(header, Helper.answered);
    if (sequence == 0) return RequestPollMs;
    const std::int64_t now = PerformanceCounterNow();
    if (sequence != Helper.seen) {
        Helper.seen = sequence;
        Helper.seenAt = now;
    }
    const std::uint32_t delay =
        RemotePrintDelayMs(header, now, Helper.seenAt, PerformanceTicksPerMs());
    if (delay > 0) return delay;
    Helper.answered = sequence;
    HWND window = reinterpret_cast<HWND>(static_cast<UINT_PTR>(header->requestWindow));
    int width = 0, height = 0;
    header->printBegan = PerformanceCounterNow();
    const std::int32_t status = PrintRequestedWindow(window, &width, &height);
    header->printEnded = PerformanceCounterNow();
    PublishRemoteFrame(header, sequence, status, std::uint32_t(width > 0 ? width : 0),
                       std::uint32_t(height > 0 ? height : 0));
    SetEvent(Helper.doneEvent);
    return RequestPollMs;
}

DWORD WINAPI HelperThread(LPVOID) {
    if (OpenExchange()) {
        Helper.header->helperState = HelperRunning;
        SetEvent(Helper.doneEvent);
        HANDLE waits[] = {Helper.requestEvent, Helper.viewerProcess};
        DWORD wait = RequestPollMs;
        for (;;) {
            const DWORD woke = WaitForMultipleObjects(2, waits, FALSE, wait);
            if (woke != WAIT_OBJECT_0 && woke != WAIT_TIMEOUT) break; // viewer gone, or error
            if (Helper.header->stopRequest) break;
            wait = ServeRequest();
        }
    }
    CloseExchange();
    FreeLibraryAndExitThread(Helper.module, 0);
    return 0;
}

} // namespace

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    if (reason != DLL_PROCESS_ATTACH) return TRUE;
    DisableThreadLibraryCalls(instance);
    Helper.module = instance;
    // Nothing is done under the loader lock: the thread starts once loading has finished.
    HANDLE thread = CreateThread(nullptr, 0, HelperThread, nullptr, 0, nullptr);
    if (!thread) return FALSE; // unload again; the viewer sees no helper and says why
    CloseHandle(thread);
    return TRUE;
}

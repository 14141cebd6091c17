// The surface as a Win32 window. A window thread of its own creates and owns the window,
// and about every 10 ms takes the surface lock, copies the rows the application marked into
// the presentation buffer, shows it stretched to the client area, and handles the window's
// messages. Application threads draw into the frame buffer under the same lock.
//
// No application thread may change the window (style, placement, caption) while it holds
// the lock: the window thread answers window messages only inside its locked pass.
#include "platform/dib.h"
#include "platform/win32.h"
#include "viewer/surface/aligned_memory.h"
#include "viewer/surface/surface.h"

#include <atomic>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

constexpr const char* ClassPrefix = "fbgfxclass_";
constexpr DWORD PresentationIntervalMs = 10;

enum PresentMethod { PresentNone, PresentStretchDib, PresentDibSection };

struct WindowRecord {
    CRITICAL_SECTION lock;
    std::atomic<DWORD> lockOwner{0}; // thread id holding the lock, 0 when free
    int lockDepth = 0;               // re-entries of the holder

    std::atomic<HWND> window{nullptr};
    HANDLE thread = nullptr;
    HANDLE ready = nullptr;
    std::atomic<bool> stop{false};
    bool created = false; // set by the window thread before it signals ready

    std::string className;
    std::string caption;
    DWORD style = 0;
    RECT outer{};

    PresentMethod method = PresentNone;
    BITMAPINFO info{};
    std::uint32_t* pixels = nullptr; // width x height, top-down, 0x00RRGGBB
    HDC memoryDc = nullptr;
    HBITMAP dibSection = nullptr;
    HGDIOBJ previousBitmap = nullptr;

    BOOL screenSaverWasActive = FALSE;
    bool exitActionRegistered = false;
};

WindowRecord Win;
[[maybe_unused]] const bool LockReady = (InitializeCriticalSection(&Win.lock), true);

HINSTANCE ProgramInstance() {
    return GetModuleHandleA(nullptr);
}

bool CallerHoldsLock() {
    return Win.lockOwner.load() == GetCurrentThreadId();
}

// Let go of the lock completely when the caller holds it; returns how often it was held.
int DropCallersLock() {
    if (!CallerHoldsLock()) return 0;
    const int depth = Win.lockDepth;
    for (int i = 0; i < depth; ++i) ReleaseSurfaceLock();
    return depth;
}

void RetakeCallersLock(int depth) {
    for (int i = 0; i < depth; ++i) TakeSurfaceLock();
}

// The program file's name without folder and extension.
std::string ProgramName() {
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string name = path;
    const std::size_t slash = name.find_last_of("\\/");
    if (slash != std::string::npos) name.erase(0, slash + 1);
    const std::size_t dot = name.find_last_of('.');
    if (dot != std::string::npos) name.erase(dot);
    return name;
}

int FloorHalf(int value) {
    return value >= 0 ? value / 2 : -((-value + 1) / 2);
}

// ---- Presentation ----

std::uint32_t Widen5(std::uint32_t v) {
    return (v * 255 + 15) / 31;
}

std::uint32_t Widen6(std::uint32_t v) {
    return (v * 255 + 31) / 63;
}

void ConvertRow(const std::uint8_t* source, std::uint32_t* target, int width) {
    switch (Surface.bytesPerPixel) {
    case 4:
        std::memcpy(target, source, std::size_t(width) * 4);
        break;
    case 2: {
        const auto* p = reinterpret_cast<const std::uint16_t*>(source);
        const bool rgb555 = Surface.depth == 15;
        for (int x = 0; x < width; ++x) {
            const std::uint32_t v = p[x];
            const std::uint32_t r = rgb555 ? (v >> 10) & 31 : (v >> 11) & 31;
            const std::uint32_t g = rgb555 ? Widen5((v >> 5) & 31) : Widen6((v >> 5) & 63);
            target[x] = Widen5(r) << 16 | g << 8 | Widen5(v & 31);
        }
        break;
    }
    default: { // palette indices, shown as grey levels
        const std::uint32_t top = (1u << (Surface.depth > 8 ? 8 : Surface.depth)) - 1;
        for (int x = 0; x < width; ++x) {
            const std::uint32_t grey = (std::uint32_t(source[x]) & top) * 255 / top;
            target[x] = grey << 16 | grey << 8 | grey;
        }
    }
    }
}

// Copies the marked rows and clears the marks; true when any row was copied.
bool CopyMarkedRows() {
    bool any = false;
    for (int y = 0; y < Surface.height; ++y) {
        if (!Surface.rowMarks[y]) continue;
        ConvertRow(Surface.frameBuffer + std::size_t(y) * Surface.pitch,
                   Win.pixels + std::size_t(y) * Surface.width, Surface.width);
        Surface.rowMarks[y] = 0;
        any = true;
    }
    return any;
}

// Shows the whole presentation buffer stretched to the client area's current size.
bool PresentTo(HWND window, HDC dc) {
    RECT client{};
    GetClientRect(window, &client);
    const int width = client.right - client.left, height = client.bottom - client.top;
    if (width <= 0 || height <= 0) return true; // minimised: nothing to show
    const int w = Surface.width, h = Surface.height;
    SetStretchBltMode(dc, COLORONCOLOR);
    if (Win.method == PresentStretchDib)
        return StretchDIBits(dc, 0, 0, width, height, 0, 0, w, h, Win.pixels, &Win.info,
                             DIB_RGB_COLORS, SRCCOPY) != 0;
    if (Win.method == PresentDibSection) {
        if (width == w && height == h) return BitBlt(dc, 0, 0, w, h, Win.memoryDc, 0, 0, SRCCOPY);
        return StretchBlt(dc, 0, 0, width, height, Win.memoryDc, 0, 0, w, h, SRCCOPY);
    }
    return false;
}

bool PresentNow(HWND window) {
    HDC dc = GetDC(window);
    if (!dc) return false;
    const bool shown = PresentTo(window, dc);
    ReleaseDC(window, dc);
    return shown;
}

void TearDownPresentation() {
    if (Win.method == PresentStretchDib) AlignedFree(Win.pixels);
    if (Win.memoryDc) {
        if (Win.previousBitmap) SelectObject(Win.memoryDc, Win.previousBitmap);
        DeleteDC(Win.memoryDc);
    }
    if (Win.dibSection) DeleteObject(Win.dibSection);
    Win.memoryDc = nullptr;
    Win.dibSection = nullptr;
    Win.previousBitmap = nullptr;
    Win.pixels = nullptr;
    Win.method = PresentNone;
}

bool SetUpDibSection(HWND window) {
    HDC dc = GetDC(window);
    void* bits = nullptr;
    Win.memoryDc = CreateCompatibleDC(dc);
    if (Win.memoryDc)
        Win.dibSection = CreateDIBSection(dc, &Win.info, DIB_RGB_COLORS, &bits, nullptr, 0);
    ReleaseDC(window, dc);
    if (!Win.dibSection) return false;
    Win.previousBitmap = SelectObject(Win.memoryDc, Win.dibSection);
    Win.pixels = static_cast<std::uint32_t*>(bits);
    std::memset(Win.pixels, 0, std::size_t(Surface.width) * Surface.height * 4);
    return true;
}

// Prefers StretchDIBits straight from memory; falls back to blitting from a DIB section.
// Each method is tried once on the new window.
bool SetUpPresentation(HWND window) {
    Win.info = TopDownDibInfo(Surface.width, Surface.height);

    const std::size_t bytes = std::size_t(Surface.width) * Surface.height * 4;
    Win.pixels = static_cast<std::uint32_t*>(AlignedAlloc(bytes));
    if (Win.pixels) {
        std::memset(Win.pixels, 0, bytes);
        Win.method = PresentStretchDib;
        if (PresentNow(window)) return true;
        TearDownPresentation();
    }
    if (SetUpDibSection(window)) {
        Win.method = PresentDibSection;
        if (PresentNow(window)) return true;
    }
    TearDownPresentation();
    return false;
}

// ---- Window messages ----

struct SpecialKey {
    WPARAM virtualKey;
    char letter;
};

// Keys without a character of their own, queued as (letter << 8) | 0xFF.
constexpr SpecialKey SpecialKeys[] = {
    {VK_UP, 'H'},     {VK_DOWN, 'P'},   {VK_LEFT, 'K'}, {VK_RIGHT, 'M'},  {VK_HOME, 'G'},
    {VK_END, 'O'},    {VK_PRIOR, 'I'},  {VK_NEXT, 'Q'}, {VK_INSERT, 'R'}, {VK_DELETE, 'S'},
    {VK_F1, ';'},     {VK_F2, '<'},     {VK_F3, '='},   {VK_F4, '>'},     {VK_F5, '?'},
    {VK_F6, '@'},     {VK_F7, 'A'},     {VK_F8, 'B'},   {VK_F9, 'C'},     {VK_F10, 'D'},
    {VK_F11, '\x85'}, {VK_F12, '\x86'},
};

std::uint32_t SpecialKeyCode(WPARAM virtualKey) {
    for (const SpecialKey& key : SpecialKeys)
        if (key.virtualKey == virtualKey)
            return std::uint32_t(std::uint8_t(key.letter)) << 8 | 0xFF;
    return 0;
}

bool ModeSwitchRefused() {
    return (Surface.flags & NoModeSwitch) != 0;
}

LRESULT CALLBACK SurfaceWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CLOSE:
        QueueKey(CloseRequestKey); // the viewer decides; the window stays
        return 0;
    case WM_SYSCOMMAND:
        if ((wParam & 0xFFF0) == SC_CLOSE) {
            QueueKey(CloseRequestKey);
            return 0;
        }
        if ((wParam & 0xFFF0) == SC_MAXIMIZE && ModeSwitchRefused()) return 0;
        break;
    case WM_SYSKEYDOWN:
    case WM_SYSKEYUP:
        // Alt and F10 alone would open the window menu.
        if (wParam == VK_MENU) return 0;
        if (wParam == VK_F10) {
            if (message == WM_SYSKEYDOWN) QueueKey(SpecialKeyCode(VK_F10));
            return 0;
        }
        if (wParam == VK_RETURN && ModeSwitchRefused()) return 0; // Alt+Enter
        break;
    case WM_SYSCHAR:
        if (wParam == '\r' && ModeSwitchRefused()) return 0;
        break;
    case WM_KEYDOWN:
        if (const std::uint32_t code = SpecialKeyCode(wParam)) QueueKey(code);
        return 0;
    case WM_CHAR:
        if (wParam & 0xFF) QueueKey(std::uint32_t(wParam & 0xFF));
        return 0;
    case WM_SETCURSOR:
        if (LOWORD(lParam) == HTCLIENT && !Surface.pointerVisible) {
            SetCursor(nullptr);
            return TRUE;
        }
        break;
    case WM_ERASEBKGND:
        return 1; // the client area is painted whole from the presentation buffer
    case WM_PAINT: {
        PAINTSTRUCT paint;
        HDC dc = BeginPaint(window, &paint);
        if (Win.pixels) PresentTo(window, dc);
        EndPaint(window, &paint);
        return 0;
    }
    default:
        break;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

// ---- The window thread ----

// Corrects the outer size when the frame differs from what AdjustWindowRectEx predicted.
void FitClientArea(HWND window) {
    RECT client{}, outer{};
    GetClientRect(window, &client);
    GetWindowRect(window, &outer);
    const int dw = Surface.width - (client.right - client.left);
    const int dh = Surface.height - (client.bottom - client.top);
    if (dw == 0 && dh == 0) return;
    SetWindowPos(window, nullptr, 0, 0, outer.right - outer.left + dw,
                 outer.bottom - outer.top + dh, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void PumpMessages() {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

void PresentationPass(HWND window) {
    TakeSurfaceLock();
    if (CopyMarkedRows()) PresentNow(window);
    PumpMessages();
    ReleaseSurfaceLock();
}

DWORD WINAPI WindowThreadMain(LPVOID) {
    const RECT& r = Win.outer;
    HWND window = CreateWindowExA(0, Win.className.c_str(), Win.caption.c_str(), Win.style, r.left,
                                  r.top, r.right - r.left, r.bottom - r.top, nullptr, nullptr,
                                  ProgramInstance(), nullptr);
    if (window) FitClientArea(window);
    if (!window || !SetUpPresentation(window)) {
        if (window) DestroyWindow(window);
        Win.created = false;
        SetEvent(Win.ready);
        return 0;
    }
    Win.window = window;
    SetForegroundWindow(window);
    Win.created = true;
    SetEvent(Win.ready);

    while (!Win.stop.load()) {
        SleepEx(PresentationIntervalMs, FALSE);
        PresentationPass(window);
    }
    TearDownPresentation();
    DestroyWindow(window);
    return 0;
}

bool RegisterSurfaceClass() {
    WNDCLASSA windowClass{};
    windowClass.style = CS_HREDRAW | CS_VREDRAW;
    windowClass.lpfnWndProc = SurfaceWindowProc;
    windowClass.hInstance = ProgramInstance();
    windowClass.hIcon = LoadIcon(nullptr, IDI_APPLICATION);
    windowClass.hCursor = LoadCursor(nullptr, IDC_ARROW);
    windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    windowClass.lpszClassName = Win.className.c_str();
    return RegisterClassA(&windowClass) || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

void PlanWindow() {
    Win.className = std::string(ClassPrefix) + Surface.title;
    Win.caption = Surface.title[0] ? Surface.title : ProgramName();
    Win.style = WS_VISIBLE | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
    if (!ModeSwitchRefused()) Win.style |= WS_MAXIMIZEBOX;
    RECT outer{0, 0, Surface.width, Surface.height};
    AdjustWindowRectEx(&outer, Win.style, FALSE, 0);
    const int width = outer.right - outer.left, height = outer.bottom - outer.top;
    // The outer corner sits where a frameless window of the surface's size would be centred.
    const int left = FloorHalf(GetSystemMetrics(SM_CXSCREEN) - Surface.width);
    const int top = FloorHalf(GetSystemMetrics(SM_CYSCREEN) - Surface.height);
    Win.outer = RECT{left, top, left + width, top + height};
}

// Starts the window thread and waits until it reports whether the window exists.
bool StartWindowThread() {
    Win.stop = false;
    Win.created = false;
    Win.ready = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    if (!Win.ready) return false;
    Win.thread = CreateThread(nullptr, 0, WindowThreadMain, nullptr, 0, nullptr);
    if (Win.thread) {
        HANDLE waits[2] = {Win.ready, Win.thread};
        WaitForMultipleObjects(2, waits, FALSE, INFINITE);
    }
    CloseHandle(Win.ready);
    Win.ready = nullptr;
    return Win.thread && Win.created;
}

void StopWindowThread() {
    Win.stop = true;
    if (Win.thread) {
        WaitForSingleObject(Win.thread, INFINITE);
        CloseHandle(Win.thread);
    }
    Win.thread = nullptr;
}

void DisableScreenSaver() {
    Win.screenSaverWasActive = FALSE;
    SystemParametersInfoA(SPI_GETSCREENSAVEACTIVE, 0, &Win.screenSaverWasActive, 0);
    SystemParametersInfoA(SPI_SETSCREENSAVEACTIVE, FALSE, nullptr, 0);
}

void RestoreScreenSaver() {
    SystemParametersInfoA(SPI_SETSCREENSAVEACTIVE, UINT(Win.screenSaverWasActive), nullptr, 0);
}

void CloseSurfaceAtExit() {
    CloseSurface();
}

} // namespace

struct ThreadRecord {
    HANDLE handle;
    ThreadProcedure procedure;
    void* parameter;
};

void TakeSurfaceLock() {
    EnterCriticalSection(&Win.lock);
    Win.lockOwner = GetCurrentThreadId();
    ++Win.lockDepth;
}

void ReleaseSurfaceLock() {
    if (--Win.lockDepth == 0) Win.lockOwner = 0;
    LeaveCriticalSection(&Win.lock);
}

void SetSurfaceTitle(const char* title) {
    std::strncpy(Surface.title, title ? title : "", MaxSurfaceTitle);
    Surface.title[MaxSurfaceTitle] = '\0';
    HWND window = Win.window.load();
    if (!Surface.open || !window) return;
    // The window thread answers SetWindowTextA only inside its locked pass.
    const int depth = DropCallersLock();
    SetWindowTextA(window, Surface.title[0] ? Surface.title : ProgramName().c_str());
    RetakeCallersLock(depth);
}

int OpenSurface(int width, int height, int depth, int /*pages*/, std::uint32_t flags,
                int /*refreshRate*/) {
    if (width < 1 || height < 1 || SurfaceBytesPerPixelForDepth(depth) == 0) return 1;
    CloseSurface();
    if (!AllocateSurfaceState(width, height, depth, flags)) return 1;
    PlanWindow();
    if (!RegisterSurfaceClass()) {
        ReleaseSurfaceState();
        return 1;
    }
    DisableScreenSaver();
    if (!StartWindowThread()) {
        StopWindowThread();
        Win.window = nullptr;
        RestoreScreenSaver();
        UnregisterClassA(Win.className.c_str(), ProgramInstance());
        ReleaseSurfaceState();
        return 1;
    }
    if (!Win.exitActionRegistered) {
        Win.exitActionRegistered = true;
        std::atexit(CloseSurfaceAtExit);
    }
    return 0;
}

int CloseSurface() {
    if (!Surface.open) return 0;
    if (CallerHoldsLock()) {
        Surface.lockCount = 0;
        DropCallersLock();
    }
    Win.window = nullptr;
    StopWindowThread();
    TakeSurfaceLock();
    ReleaseSurfaceState();
    ReleaseSurfaceLock();
    RestoreScreenSaver();
    UnregisterClassA(Win.className.c_str(), ProgramInstance());
    return 0;
}

HWND__* SurfaceWindowHandle() {
    return Win.window.load();
}

void HideMouse() {
    Surface.pointerVisible = false;
}

namespace {
DWORD WINAPI ThreadStart(LPVOID parameter) {
    auto* thread = static_cast<ThreadRecord*>(parameter);
    thread->procedure(thread->parameter);
    return 0;
}
} // namespace

ThreadRecord* StartThread(ThreadProcedure procedure, void* parameter, unsigned stackSize) {
    auto* thread = new ThreadRecord{nullptr, procedure, parameter};
    thread->handle = CreateThread(nullptr, stackSize, ThreadStart, thread, 0, nullptr);
    if (!thread->handle) {
        delete thread;
        return nullptr;
    }
    return thread;
}

void WaitThread(ThreadRecord* thread) {
    if (!thread) return;
    WaitForSingleObject(thread->handle, INFINITE);
    CloseHandle(thread->handle);
    delete thread;
}

void EndProgram(int exitCode) {
    if (Win.exitActionRegistered) CloseSurface();
    ExitProcess(UINT(exitCode));
}

// The surface's window thread: it creates the window, and about every 10 ms (with the smooth
// pacing as soon as the application marks rows, else once per display refresh,
// present_cadence.h) takes the surface lock, copies the rows the application marked into the
// presentation buffer, scales them sharply where the player chose so (the lock let go meanwhile),
// shows the picture, and handles the window's messages. Also the window's class and placement.
#include "platform/game_contract.h"
#include "platform/performance_counter.h"
#include "platform/primary_screen.h"
#include "runtime/pass_timing.h"
#include "window/dpi_awareness.h"
#include "window/framed_placement.h"
#include "window/present_rows.h"
#include "window/surface.h"
#include "window/surface_win32.h"

namespace {

constexpr DWORD PresentationIntervalMs = 10;

// Sizes the client area to the player's multiple of the surface at the window's DPI and
// centres the window on its home monitor, in the window's own context (framed_placement.h).
void FitClientArea(HWND window) {
    FitFramedClient(window);
}

void PumpMessages() {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

// The window's messages, under the surface lock that guards the key queue they fill.
void HandleMessagesUnderLock() {
    TakeSurfaceLock();
    PumpMessages();
    ReleaseSurfaceLock();
}

double Seconds() {
    return PerformanceCounterSeconds(PerformanceCounterNow());
}

// Until rows are marked or a message comes, at most `ms`.
void AwaitRowsOrMessages(DWORD ms) {
    HANDLE rows = static_cast<HANDLE>(RowsMarkedEvent());
    MsgWaitForMultipleObjectsEx(rows ? 1 : 0, &rows, ms, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
}

// The fixed pacing's cadence: every PresentationIntervalMs, whatever comes meanwhile. Woken
// at once, the window thread would present while the render thread's pass goes on, and the
// pass, which waits for the surface lock to read the key queue, would end later: the fixed
// sleep that follows would take fewer pictures a second.
void AwaitInterval() {
    SleepEx(PresentationIntervalMs, FALSE);
}

// Between two presentations: with the smooth pacing a new picture is presented as soon as its
// rows are marked, in the refresh it was drawn in. Otherwise the thread waits for the desktop's
// next composition where the cadence says so (at most two refresh periods, the window's messages
// handled meanwhile), none while the window is minimised, or else at most PresentationIntervalMs.
void AwaitPresentation(HWND window) {
    PresentCadence& cadence = Win.cadence;
    const double start = Seconds();
    if (cadence.WaitForRefresh(start) && !IsIconic(window)) {
        const double period = CompositorRefreshPeriod();
        double returnedAt = 0.0;
        const CompositionWait waited =
            AwaitComposition(2.0 * (period > 0.0 ? period : 1.0 / 60.0), &returnedAt,
                             HandleMessagesUnderLock, static_cast<HANDLE>(RowsMarkedEvent()));
        if (waited == CompositionWait::Woken) return;
        const bool succeeded = waited == CompositionWait::Composed;
        const double now = Seconds();
        cadence.Waited(succeeded, returnedAt - start, succeeded ? returnedAt : now, period);
        if (cadence.WaitForRefresh(now)) return;
    }
    if (cadence.inStep)
        AwaitRowsOrMessages(PresentationIntervalMs);
    else
        AwaitInterval();
}

// The window thread's note of the picture it presented, for the meter: when it was seen and
// when it reached the window. Under the surface lock.
void NotePresented(double seenAt) {
    if (seenAt == Surface.shownSeenAt) return; // shown before: only the overlay changed
    Surface.shownSeenAt = seenAt;
    Surface.pictureShownAt = Seconds();
}

// One presentation, and then the window's messages unless Windows' own loop for a drag of
// the border runs them (BeginSizing).
void PresentationPass(HWND window, bool handleMessages) {
    PresentBegin();
    TakeSurfaceLock();
    PresentMark("present lock wait");
    int firstRow = 0, endRow = 0;
    bool marked = CopyMarkedRows(Win.pixels, &firstRow, &endRow);
    const double seenAt = Surface.pictureSeenAt;
    PresentMark("present copy rows");
    PresentTookPicture();
    // Sharp scaling reads only the presentation buffer, which this thread alone writes.
    if (Win.scaling.load() == DisplayScaling::Sharp || Win.sharpPixels) {
        ReleaseSurfaceLock();
        marked = ScaleSharply(window, firstRow, endRow) || marked;
        TakeSurfaceLock();
    }
    PresentMark("present scale");
    if (marked) {
        PresentRows(window, firstRow, endRow);
        NotePresented(seenAt);
        PresentShowed();
    }
    PresentMark("present show");
    if (handleMessages) PumpMessages();
    PresentMark("present messages");
    PresentEnd(marked);
    ReleaseSurfaceLock();
}

DWORD WINAPI WindowThreadMain(LPVOID) {
    // Only this thread, which owns the viewer window, is per-monitor aware: the window gets
    // the monitor's real pixels, while the process and every call on the game stay unaware.
    if (SurfaceDpiAware()) MakeThreadPerMonitorAware();
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
    // After the opening returned: the viewer's next steps need not wait for Direct3D.
    SetUpFlipPresentation(window);

    if (Win.cadence.inStep) RaiseThreadForPacing();
    while (!Win.stop.load()) {
        AwaitPresentation(window);
        PresentationPass(window, true);
        if (FlipWantsNewWindow()) window = MakeWindowAnew(window);
    }
    if (Win.cadence.inStep) LowerThreadFromPacing();
    TearDownPresentation();
    DestroyWindow(window);
    return 0;
}

} // namespace

void BeginSizing(HWND window) {
    if (Win.sizingLockDepth >= 0) return;
    Win.sizingLockDepth = DropCallersLock();
    SetTimer(window, SizingTimer, PresentationIntervalMs, nullptr);
}

void EndSizing(HWND window) {
    if (Win.sizingLockDepth < 0) return;
    KillTimer(window, SizingTimer);
    RetakeCallersLock(Win.sizingLockDepth);
    Win.sizingLockDepth = -1;
}

void PresentWhileSizing(HWND window) {
    if (Win.sizingLockDepth >= 0) PresentationPass(window, false);
}

SIZE FramedOuterSize(HWND window, SIZE client, UINT dpi) {
    using AdjustForDpi = BOOL(WINAPI*)(RECT*, DWORD, BOOL, DWORD, UINT);
    HMODULE user32 = GetModuleHandleA("user32.dll");
    const auto adjust = user32 ? reinterpret_cast<AdjustForDpi>(reinterpret_cast<void*>(
                                     GetProcAddress(user32, "AdjustWindowRectExForDpi")))
                               : nullptr;
    const DWORD style = DWORD(GetWindowLongA(window, GWL_STYLE));
    const DWORD exStyle = DWORD(GetWindowLongA(window, GWL_EXSTYLE));
    RECT outer{0, 0, client.cx, client.cy};
    if (!adjust || !adjust(&outer, style, FALSE, exStyle, dpi))
        AdjustWindowRectEx(&outer, style, FALSE, exStyle);
    return SIZE{outer.right - outer.left, outer.bottom - outer.top};
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
    Win.className = std::string(ViewerWindowClassPrefix) + Surface.title;
    Win.caption = Surface.title[0] ? Surface.title : ProgramName();
    Win.style = WS_VISIBLE | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
    if (!ModeSwitchRefused()) Win.style |= WS_MAXIMIZEBOX;
    Win.style |= FramedSizingStyle(); // a border and a maximise button for the player's size
    RECT outer{0, 0, Surface.width, Surface.height};
    AdjustWindowRectEx(&outer, Win.style, FALSE, 0);
    // Worked out in the context the window thread creates the window in: real pixels where it
    // is to be per-monitor aware, so the window opens on its home monitor at any mix of scales.
    Win.outer =
        FramedWindowOpening(outer.right - outer.left, outer.bottom - outer.top, SurfaceDpiAware());
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

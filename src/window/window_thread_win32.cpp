// The surface's window thread: it creates the window, and about every 10 ms (with the smooth
// pacing as soon as the application marks rows, else once per display refresh,
// present_cadence.h) takes the surface lock only to copy the rows the application marked into
// the presentation buffer, its own; then, the lock let go, scales them sharply where the player
// chose so, shows the picture and handles the window's messages. Inside a loop of Windows' own
// (a drag of the title bar or the border, a menu, a held caption button) it presents from a
// timer instead (BeginModalLoop). Also the window's class and placement.
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
// With the smooth pacing and nothing new shown (a frozen game), the longest wait for new rows:
// the thread wakes this seldom then, whatever the display's refresh rate.
constexpr DWORD IdleWaitMs = 200;

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

// A close posted to a window that goes (the surface opens again) is queued for the viewer
// rather than lost with it.
void KeepCloseRequests(HWND window) {
    MSG msg;
    while (PeekMessageA(&msg, window, WM_CLOSE, WM_CLOSE, PM_REMOVE)) DispatchMessageA(&msg);
}

double Seconds() {
    return PerformanceCounterSeconds(PerformanceCounterNow());
}

// Until rows are marked or a message comes, at most `ms`.
void AwaitRowsOrMessages(DWORD ms) {
    HANDLE rows = static_cast<HANDLE>(RowsMarkedEvent());
    RestAfterFailedWait(
        MsgWaitForMultipleObjectsEx(rows ? 1 : 0, &rows, ms, WindowWakeMask, MWMO_INPUTAVAILABLE));
}

// The fixed pacing's cadence: every PresentationIntervalMs, whatever comes meanwhile. Woken
// at once, the window thread would present while the render thread's pass goes on, and the
// pass, which waits for the surface lock to read the key queue, would end later: the fixed
// sleep that follows would take fewer pictures a second.
void AwaitInterval() {
    SleepEx(PresentationIntervalMs, FALSE);
}

// The desktop's next composition (at most two refresh periods, the window's messages handled
// meanwhile), cut short by new rows. False when the cadence no longer follows the refresh.
bool AwaitRefresh(double start) {
    PresentCadence& cadence = Win.cadence;
    const double period = CompositorRefreshPeriod();
    double returnedAt = 0.0;
    const CompositionWait waited =
        AwaitComposition(2.0 * (period > 0.0 ? period : 1.0 / 60.0), &returnedAt, PumpMessages,
                         static_cast<HANDLE>(RowsMarkedEvent()));
    if (waited == CompositionWait::Woken) return true;
    const bool succeeded = waited == CompositionWait::Composed;
    const double now = Seconds();
    cadence.Waited(succeeded, returnedAt - start, succeeded ? returnedAt : now, period);
    return cadence.WaitForRefresh(now);
}

// Between two presentations (present_cadence.h): with the smooth pacing a new picture is
// presented as soon as its rows are marked, in the refresh it was drawn in; after a pass that
// showed nothing it waits for the next rows alone (at most IdleWaitMs), so no composition wakes
// it while the picture stays as it is.
void AwaitPresentation(HWND window, bool shownLast) {
    const double start = Seconds();
    switch (Win.cadence.NextWait(shownLast, IsIconic(window) != FALSE, start)) {
    case PresentCadence::Next::RowsWhileIdle:
        AwaitRowsOrMessages(IdleWaitMs);
        return;
    case PresentCadence::Next::Refresh:
        if (AwaitRefresh(start)) return;
        AwaitRowsOrMessages(PresentationIntervalMs);
        return;
    case PresentCadence::Next::RowsOrCadence:
        AwaitRowsOrMessages(PresentationIntervalMs);
        return;
    case PresentCadence::Next::Cadence:
        AwaitInterval();
        return;
    }
}

// The window thread's note of the picture it presented, for the meter: when it was seen and
// when it reached the window.
void NotePresented(double seenAt) {
    const double shownAt = Seconds();
    TakeSurfaceLock();
    if (seenAt != Surface.shownSeenAt) { // else shown before: only the overlay changed
        Surface.shownSeenAt = seenAt;
        Surface.pictureShownAt = shownAt;
    }
    ReleaseSurfaceLock();
}

// Where the frame is shown, for the grid the application makes it at (SurfaceGrid).
void NoteShownArea(HWND window) {
    RECT client{};
    if (!GetClientRect(window, &client)) return;
    Win.shownWidth = client.right - client.left;
    Win.shownHeight = client.bottom - client.top;
}

// The marked rows into the presentation buffer: the only step under the surface lock, so the
// application's next frame waits for a copy at most, never for a present. False when no row
// was marked; *seenAt: when the picture copied was seen. On the flip road a marked row that
// is shown as it is counts as unmarked: the swap chain keeps showing the last picture, and
// drawing it again costs a present (the fixed pacing marks every row of every frame, also of
// a game whose picture stands still). A GDI window is drawn each time, as it always was.
bool TakeMarkedRows(HWND window, int* firstRow, int* endRow, double* seenAt) {
    TakeSurfaceLock();
    PresentMark("present lock wait");
    const bool sized = (Surface.width == Win.frameWidth && Surface.height == Win.frameHeight) ||
                       FollowFrameSize(window);
    const bool marked = sized && Win.pixels &&
                        CopyMarkedRows(Win.pixels, firstRow, endRow, FlipPresentationActive());
    *seenAt = Surface.pictureSeenAt;
    ReleaseSurfaceLock();
    PresentMark("present copy rows");
    PresentTookPicture();
    return marked;
}

// One presentation: the marked rows copied under the lock, then shown from the presentation
// buffer, which this thread alone reads and writes, with the lock let go. True when it showed
// a picture.
bool PresentationPass(HWND window) {
    PresentBegin();
    int firstRow = 0, endRow = 0;
    double seenAt = 0.0;
    NoteShownArea(window);
    bool marked = TakeMarkedRows(window, &firstRow, &endRow, &seenAt);
    if (Win.scaling.load() == DisplayScaling::Sharp || Win.sharpPixels)
        marked = ScaleSharply(window, firstRow, endRow) || marked;
    PresentMark("present scale");
    if (marked) {
        SetUpFlipPresentation(window);
        PresentRows(window, firstRow, endRow);
        NotePresented(seenAt);
        PresentShowed();
    }
    PresentMark("present show");
    PresentEnd(marked);
    return marked;
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
    // After the opening returned, with the first picture: the viewer's next steps need not
    // wait for Direct3D.
    SetUpFlipWithFirstPicture();

    if (Win.cadence.inStep) RaiseThreadForPacing();
    bool shownLast = true;
    while (!Win.stop.load()) {
        AwaitPresentation(window, shownLast);
        shownLast = PresentationPass(window);
        PumpMessages(); // without the lock: Windows may run a loop of its own in here
        if (FlipWantsNewWindow()) window = MakeWindowAnew(window);
    }
    if (Win.cadence.inStep) LowerThreadFromPacing();
    TearDownPresentation();
    KeepCloseRequests(window);
    DestroyWindow(window);
    return 0;
}

} // namespace

void BeginModalLoop(HWND window) {
    if (Win.modalDepth++ == 0) SetTimer(window, ModalLoopTimer, PresentationIntervalMs, nullptr);
}

void EndModalLoop(HWND window) {
    if (Win.modalDepth == 0) return;
    if (--Win.modalDepth == 0) KillTimer(window, ModalLoopTimer);
}

void PresentInModalLoop(HWND window) {
    if (Win.modalDepth > 0) PresentationPass(window);
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
    SignalRowsMarked(); // wakes a thread that waits for rows
    if (Win.thread) {
        WaitForSingleObject(Win.thread, INFINITE);
        CloseHandle(Win.thread);
    }
    Win.thread = nullptr;
}

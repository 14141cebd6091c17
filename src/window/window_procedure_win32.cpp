// The viewer window's procedure: it only dispatches each message to a small handler. Keys
// go into the surface's key queue; a close request is queued rather than acted on, and the
// mode switches the surface refuses (maximise, Alt+Enter) are swallowed; a window of the
// player's size (framed_placement.h) may be maximised and sized down to half the frame at its
// scale. A display change is only noted for the render thread.
#include "window/dpi_awareness.h"
#include "window/framed_placement.h"
#include "window/surface.h"
#include "window/surface_win32.h"

namespace {

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

// The key queue is guarded by the surface lock, taken for each key.
void QueueWindowKey(std::uint32_t code) {
    TakeSurfaceLock();
    QueueKey(code);
    ReleaseSurfaceLock();
}

bool Resizable(HWND window) {
    return (GetWindowLongA(window, GWL_STYLE) & WS_THICKFRAME) != 0;
}

struct Message {
    HWND window;
    UINT id;
    WPARAM wParam;
    LPARAM lParam;
};

// Each handler returns true when it answered the message (with *result), false to leave it
// to DefWindowProcA.
using Handler = bool (*)(const Message& message, LRESULT* result);

bool OnClose(const Message&, LRESULT* result) {
    QueueWindowKey(CloseRequestKey); // the viewer decides; the window stays
    *result = 0;
    return true;
}

bool OnSysCommand(const Message& message, LRESULT* result) {
    const WPARAM command = message.wParam & 0xFFF0;
    if (command == SC_CLOSE) QueueWindowKey(CloseRequestKey);
    *result = 0;
    return command == SC_CLOSE ||
           (command == SC_MAXIMIZE && ModeSwitchRefused() && !Resizable(message.window));
}

// Alt and F10 alone would open the window menu; Alt+Enter would switch modes.
bool OnSysKey(const Message& message, LRESULT* result) {
    *result = 0;
    if (message.wParam == VK_MENU) return true;
    if (message.wParam == VK_F10) {
        if (message.id == WM_SYSKEYDOWN) QueueWindowKey(SpecialKeyCode(VK_F10));
        return true;
    }
    return message.wParam == VK_RETURN && ModeSwitchRefused();
}

bool OnSysChar(const Message& message, LRESULT* result) {
    *result = 0;
    return message.wParam == '\r' && ModeSwitchRefused();
}

bool OnKeyDown(const Message& message, LRESULT* result) {
    if (const std::uint32_t code = SpecialKeyCode(message.wParam)) QueueWindowKey(code);
    *result = 0;
    return true;
}

bool OnChar(const Message& message, LRESULT* result) {
    if (message.wParam & 0xFF) QueueWindowKey(std::uint32_t(message.wParam & 0xFF));
    *result = 0;
    return true;
}

bool OnSetCursor(const Message& message, LRESULT* result) {
    if (LOWORD(message.lParam) != HTCLIENT || Surface.pointerVisible) return false;
    SetCursor(nullptr);
    *result = TRUE;
    return true;
}

bool OnEraseBackground(const Message&, LRESULT* result) {
    *result = 1; // WM_PAINT paints the whole client area: the picture and the bars
    return true;
}

bool OnPaint(const Message& message, LRESULT* result) {
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(message.window, &paint);
    // The presentation buffer is the window thread's own: no lock.
    if (Win.pixels) PresentTo(message.window, dc, true);
    EndPaint(message.window, &paint);
    *result = 0;
    return true;
}

// The render thread places the window anew (fullscreen.h); Windows gets the message too.
bool OnDisplayChange(const Message&, LRESULT*) {
    NoteDisplayChange();
    return false;
}

bool Framed(HWND window) {
    return (GetWindowLongA(window, GWL_STYLE) & WS_CAPTION) != 0;
}

// On a monitor of another scale the framed window shows the frame at that scale (or keeps the
// player's size, framed_placement.h), at the position Windows suggests (its client area
// refitted: per-monitor v1 suggests a size that scales the frame as well); a maximised window
// takes the suggestion as it is; full screen stays on its monitor's rectangle.
bool OnDpiChanged(const Message& message, LRESULT* result) {
    *result = 0;
    const RECT& suggested = *reinterpret_cast<const RECT*>(message.lParam);
    if (Framed(message.window) && IsZoomed(message.window))
        SetWindowPos(message.window, nullptr, suggested.left, suggested.top,
                     suggested.right - suggested.left, suggested.bottom - suggested.top,
                     SWP_NOZORDER | SWP_NOACTIVATE);
    else if (Framed(message.window))
        FollowWindowDpi(message.window, suggested, HIWORD(message.wParam));
    return true;
}

// Per-monitor v2 asks for the size first, so a drag across a monitor edge does not flip back.
bool OnGetDpiScaledSize(const Message& message, LRESULT* result) {
    if (!Framed(message.window) || IsZoomed(message.window)) return false;
    const UINT dpi = UINT(message.wParam);
    *reinterpret_cast<SIZE*>(message.lParam) =
        FramedOuterSize(message.window, FramedClientForDpi(message.window, dpi), dpi);
    *result = TRUE;
    return true;
}

// A window of the player's size is sized down to a client area of half the frame at its scale.
bool OnGetMinMaxInfo(const Message& message, LRESULT* result) {
    if (!Resizable(message.window)) return false;
    const UINT dpi = WindowPerMonitorAware(message.window) ? WindowDpi(message.window) : 96;
    const SIZE least = FramedOuterSize(message.window,
                                       SIZE{ScaledLength(Surface.openedWidth / 2, dpi),
                                            ScaledLength(Surface.openedHeight / 2, dpi)},
                                       dpi);
    reinterpret_cast<MINMAXINFO*>(message.lParam)->ptMinTrackSize = POINT{least.cx, least.cy};
    *result = 0;
    return true;
}

// Windows' own loops for a move or size and for a menu run between these (BeginModalLoop).
bool OnEnterLoop(const Message& message, LRESULT*) {
    BeginModalLoop(message.window);
    return false;
}

bool OnExitLoop(const Message& message, LRESULT*) {
    EndModalLoop(message.window);
    return false;
}

bool OnTimer(const Message& message, LRESULT* result) {
    if (message.wParam != ModalLoopTimer) return false;
    PresentInModalLoop(message.window);
    *result = 0;
    return true;
}

struct MessageHandler {
    UINT id;
    Handler handler;
};

constexpr MessageHandler Handlers[] = {
    {WM_CLOSE, OnClose},
    {WM_SYSCOMMAND, OnSysCommand},
    {WM_SYSKEYDOWN, OnSysKey},
    {WM_SYSKEYUP, OnSysKey},
    {WM_SYSCHAR, OnSysChar},
    {WM_KEYDOWN, OnKeyDown},
    {WM_CHAR, OnChar},
    {WM_SETCURSOR, OnSetCursor},
    {WM_ERASEBKGND, OnEraseBackground},
    {WM_PAINT, OnPaint},
    {WM_DISPLAYCHANGE, OnDisplayChange},
    {WM_DPICHANGED, OnDpiChanged},
    {WM_GETDPISCALEDSIZE, OnGetDpiScaledSize},
    {WM_GETMINMAXINFO, OnGetMinMaxInfo},
    {WM_ENTERSIZEMOVE, OnEnterLoop},
    {WM_EXITSIZEMOVE, OnExitLoop},
    {WM_ENTERMENULOOP, OnEnterLoop},
    {WM_EXITMENULOOP, OnExitLoop},
    {WM_TIMER, OnTimer},
};

// Messages whose default handling may run a loop of Windows' own until the player lets go: a
// press on the frame or a caption button, a right click on the title bar, the window menu and
// the system commands (move, size, the menu from the keyboard). A held caption button sends
// no message of its own when its loop begins.
constexpr UINT MayRunLoop[] = {WM_NCLBUTTONDOWN, WM_NCRBUTTONDOWN, WM_NCRBUTTONUP,
                               WM_CONTEXTMENU,   WM_SYSCOMMAND,    WM_NCLBUTTONDBLCLK};

bool RunsLoop(UINT id) {
    for (const UINT loop : MayRunLoop)
        if (loop == id) return true;
    return false;
}

} // namespace

bool ModeSwitchRefused() {
    return (Surface.flags & NoModeSwitch) != 0;
}

LRESULT CALLBACK SurfaceWindowProc(HWND window, UINT id, WPARAM wParam, LPARAM lParam) {
    const Message message{window, id, wParam, lParam};
    for (const MessageHandler& entry : Handlers) {
        LRESULT result = 0;
        if (entry.id == id && entry.handler(message, &result)) return result;
    }
    if (!RunsLoop(id)) return DefWindowProcA(window, id, wParam, lParam);
    BeginModalLoop(window);
    const LRESULT result = DefWindowProcA(window, id, wParam, lParam);
    EndModalLoop(window);
    return result;
}

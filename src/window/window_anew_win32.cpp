// The viewer's window made anew in the same place and state, for the GDI presentation after
// the flip road failed: Windows ignores GDI drawing on a window that had a flip-model swap
// chain. The window thread does it between its passes, holding no lock.
#include "window/surface.h"
#include "window/surface_win32.h"

HWND MakeWindowAnew(HWND old) {
    WINDOWPLACEMENT placement{};
    placement.length = sizeof placement;
    RECT rect{};
    GetWindowPlacement(old, &placement);
    GetWindowRect(old, &rect);
    const DWORD style = DWORD(GetWindowLongA(old, GWL_STYLE));
    const DWORD exStyle = DWORD(GetWindowLongA(old, GWL_EXSTYLE));
    const bool foreground = GetForegroundWindow() == old;
    char caption[256] = {};
    GetWindowTextA(old, caption, sizeof caption);
    HWND fresh =
        CreateWindowExA(exStyle, Win.className.c_str(), caption, style & ~WS_VISIBLE, rect.left,
                        rect.top, rect.right - rect.left, rect.bottom - rect.top, nullptr, nullptr,
                        ProgramInstance(), nullptr);
    TearDownFlipPresentation(); // the road is GDI from here on, on either window
    if (!fresh) return old;
    // A framed window gets its restored place and maximised state back; a full-screen one
    // its rectangle over the monitor, topmost as it was.
    if (style & WS_CAPTION) SetWindowPlacement(fresh, &placement);
    SetWindowPos(fresh, (exStyle & WS_EX_TOPMOST) ? HWND_TOPMOST : HWND_NOTOPMOST, rect.left,
                 rect.top, rect.right - rect.left, rect.bottom - rect.top,
                 (style & WS_VISIBLE) ? SWP_SHOWWINDOW : 0);
    Win.window = fresh;
    if (foreground) SetForegroundWindow(fresh);
    Win.barsWidth = Win.barsHeight = 0;
    DestroyWindow(old);
    TakeSurfaceLock();
    PresentNow(fresh);
    ReleaseSurfaceLock();
    return fresh;
}

// The parts of the Win32 surface, shared by its files: the window record and the steps
// each file provides.
//
// Threads. The window thread (window_thread_win32.cpp) creates the window and owns it and the
// presentation fields (method, info, pixels, memoryDc, dibSection, previousBitmap, the sharp
// picture), no lock needed: it holds the surface lock only while it copies the marked rows of
// the frame buffer into pixels, and while it queues a key. OpenSurface and CloseSurface (any one
// application thread at a time) write className, caption, style, outer, thread, ready,
// stop, screenSaverWasActive and exitActionRegistered while no window thread runs, or (stop)
// to end it. window is written by the window thread once the window exists and cleared by
// CloseSurface; any thread may read it. The window thread handles its messages without the
// lock, so an application thread may change the window (style, placement, caption) while it
// holds the lock, as long as the window thread does not wait for that lock meanwhile.
#pragma once

#include "pixels/sharp_scale.h"
#include "platform/win32.h"
#include "window/display_fit.h"
#include "window/present_cadence.h"

#include <atomic>
#include <cstdint>
#include <string>

enum PresentMethod { PresentNone, PresentStretchDib, PresentDibSection };

struct WindowRecord {
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
    // The frame's size in the presentation buffer, taken over from the surface with the rows
    // (FollowFrameSize); pixels holds the surface's room, its rows frameWidth apart.
    int frameWidth = 0, frameHeight = 0;
    std::uint32_t* pixels = nullptr; // frameWidth x frameHeight, top-down, 0x00RRGGBB
    HDC memoryDc = nullptr;
    HBITMAP dibSection = nullptr;
    HGDIOBJ previousBitmap = nullptr;

    std::atomic<DisplayFit> fit{DisplayFit::Stretch};             // any thread may set it
    std::atomic<DisplayScaling> scaling{DisplayScaling::Nearest}; // any thread may set it
    // The client area at the latest presentation: written by the window thread, read by any.
    std::atomic<int> shownWidth{0}, shownHeight{0};
    // Sharp scaling (window thread only, outside the surface lock as well): the tables and
    // the picture made for the picture size last shown sharply, sharpPixels width x height
    // of sharpInfo; null while no picture is sharp.
    SharpScale sharp;
    std::uint32_t* sharpPixels = nullptr;
    BITMAPINFO sharpInfo{};
    PresentCadence cadence; // inStep set at start-up, before the window thread runs
    // What the black bars around the picture were last painted for (window thread only).
    DisplayFit barsFit = DisplayFit::Stretch;
    int barsWidth = 0;
    int barsHeight = 0;

    // How deep the window thread is in loops of Windows' own (BeginModalLoop; its own).
    int modalDepth = 0;

    BOOL screenSaverWasActive = FALSE;
    bool exitActionRegistered = false;
};

extern WindowRecord Win;

HINSTANCE ProgramInstance();
// The program file's name without folder and extension.
std::string ProgramName();

// compositor_win32.cpp: the compositor's refresh period in seconds (0 where it does not tell),
// and a wait for its next composition of at most boundSeconds, during which
// handleMessages runs whenever messages arrive, cut short when `wake` (an event) is set:
// Composed with the composition's time (the performance counter's seconds) when one came and
// succeeded.
enum class CompositionWait { Composed, Failed, Woken };
double CompositorRefreshPeriod();
CompositionWait AwaitComposition(double boundSeconds, double* returnedAt, void (*handleMessages)(),
                                 HANDLE wake);

// presentation_win32.cpp: showing the presentation buffer where the display fit places it
// in the client area, black around it. fullRepaint paints the bars too (WM_PAINT); otherwise
// they are painted only when the client size or the fit changed.
bool PresentTo(HWND window, HDC dc, bool fullRepaint);
bool PresentNow(HWND window);
// Prefers StretchDIBits straight from memory and falls back to blitting from a DIB section;
// false when neither shows on the new window.
bool SetUpPresentation(HWND window);
void TearDownPresentation();
// Under the surface lock, before the rows are copied: the presentation takes over a new size
// of the frame buffer (the DIB section is made anew, the sharp picture let go, the bars
// painted again); false when it could not (nothing is copied then).
bool FollowFrameSize(HWND window);

// flip_presentation_win32.cpp: the flip road (present_road.h). SetUpFlipWithFirstPicture, once
// the GDI presentation is set up on a new window, arms the set-up; SetUpFlipPresentation, with
// the window's first picture, makes the swap chain where the setting asks for it (false: GDI
// goes on, the reason logged). The viewer's first window, replaced at its first frame, thus
// never waits for Direct3D. PresentFlip shows the presentation buffer, its
// rows firstRow..endRow-1 uploaded anew (none when firstRow < 0), or the sharp picture; a
// failure it cannot mend leaves FlipWantsNewWindow true: the window thread then makes the
// window anew (MakeWindowAnew) and presents with GDI there.
void SetUpFlipWithFirstPicture();
bool SetUpFlipPresentation(HWND window);
bool FlipPresentationActive();
void PresentFlip(HWND window, int firstRow, int endRow);
bool FlipWantsNewWindow();
void TearDownFlipPresentation();
// Shows the presentation buffer on either road; its rows firstRow..endRow-1 changed.
bool PresentRows(HWND window, int firstRow, int endRow);

// window_anew_win32.cpp: a window of the same class, caption, styles, place and state in the
// old one's stead, destroyed, presenting with GDI; the old one where none can be made.
HWND MakeWindowAnew(HWND old);

// sharp_presentation_win32.cpp: with sharp scaling and a picture of another size than the
// frame, scales the presentation buffer's rows fromRow..toRow-1 (all of them when the picture
// size changed) into the sharp picture; true when that picture changed. Otherwise lets the
// sharp picture go and returns false. Called without the surface lock.
bool ScaleSharply(HWND window, int fromRow, int toRow);
// Shows the sharp picture 1:1 when it is made for this picture rectangle; false otherwise.
bool ShowSharpPicture(HDC dc, const FitRect& picture);
void FreeSharpPicture();

// What wakes a message wait of the window thread, named flag by flag: the build's Windows
// headers put touch and pointer input into the ready-made "all input" masks, which Windows 7
// refuses (the wait then fails at once, every time). The build stops at any source naming
// those masks (cmake/check_wake_masks.cmake).
constexpr DWORD WindowWakeMask = QS_KEY | QS_MOUSEMOVE | QS_MOUSEBUTTON | QS_RAWINPUT |
                                 QS_POSTMESSAGE | QS_SENDMESSAGE | QS_TIMER | QS_PAINT | QS_HOTKEY;
// A message wait's result (MsgWaitForMultipleObjectsEx) that is WAIT_FAILED: one line in the
// log for the run, then a rest of 10 ms, so that a wait Windows keeps refusing never spins.
void RestAfterFailedWait(DWORD result);

// window_procedure_win32.cpp
LRESULT CALLBACK SurfaceWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
bool ModeSwitchRefused();

// window_thread_win32.cpp: the window's class and placement for the open surface, and the
// thread that owns the window.
void PlanWindow();
// The outer size of the framed window with this client area at this DPI.
SIZE FramedOuterSize(HWND window, SIZE client, UINT dpi);
// Windows runs a message loop of its own inside the window thread's pump for as long as the
// player moves or sizes the window, holds a caption button or has a menu open. Meanwhile the
// thread presents on ModalLoopTimer. Begin and End pair up and may nest; the timer does
// nothing outside such a loop.
constexpr UINT_PTR ModalLoopTimer = 1;
void BeginModalLoop(HWND window);
void EndModalLoop(HWND window);
void PresentInModalLoop(HWND window);
bool RegisterSurfaceClass();
bool StartWindowThread();
void StopWindowThread();

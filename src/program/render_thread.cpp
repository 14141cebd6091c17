// The render thread: every pass keeps the game window parked off-screen with the keyboard
// focus, sets both processes' priorities, draws one frame while the viewer window is shown,
// and turns a click on the viewer's close button into WM_CLOSE for the game.
//
// Nothing here waits on the game's window thread for long: a game that stops answering
// keeps the viewer's hot keys, overlay and presentation going (see target_game.h).
#include "capture/capture.h"
#include "frame/frame_step.h"
#include "game/target_game.h"
#include "platform/win32.h"
#include "program/viewer.h"
#include "runtime/pass_timing.h"
#include "window/surface.h"

#include <string>

namespace {

constexpr int TargetFrameRate = 60;
// 1000 / 60 = 16.67 ms, rounded to the nearest millisecond.
constexpr int PacingSleepMs = int(1000.0 / TargetFrameRate + 0.5);
constexpr const char* DesktopWindowName = "Program Manager";

const std::string CloseRequestText = KeyCodeText(CloseRequestKey);

// A click into the viewer window gives it the foreground; hand it back to the game so the
// player's keys keep reaching the game. With the fixed pacing the pass waits for the due time
// itself. The hot keys pressed while the viewer was in front act once the game has taken the
// foreground (focus_hand_over.h).
// The smooth pacing does not hold its samples for it: each pass looks whether the viewer is
// still in front, and the pass at or after the due time hands the foreground over.
// While the player moves, sizes or otherwise handles the viewer's window the foreground stays
// with it; the delay counts from when he lets go.
void HandFocusToGame() {
    HWND viewer = ViewerWindowHandle(TargetGame);
    const bool viewerInFront = viewer && GetForegroundWindow() == viewer;
    FocusHandOver& handOver = FrameState.focusHandOver;
    if (viewerInFront && PlayerHandlesWindow(viewer)) {
        handOver.Postpone();
        return;
    }
    if (FramePacing.pacing == Pacing::Smooth) {
        if (!viewerInFront) {
            if (handOver.due) handOver.Failed(); // the player went elsewhere meanwhile
            return;
        }
        const double now = Timer();
        handOver.Begin(now);
        if (!handOver.Due(now)) return;
    } else {
        if (!viewerInFront) return;
        const double seen = Timer();
        handOver.Begin(seen);
        SleepReadingHotKeys(handOver.MsUntilDue(seen));
        if (PlayerHandlesWindow(viewer)) { // he took hold meanwhile
            handOver.Postpone();
            return;
        }
    }
    if (SetForegroundWindow(TargetGame.gameWindow))
        handOver.Handed(Timer());
    else
        handOver.Failed();
}

void Present() {
    KeepDisplayOn(true);
    ShowGameWindow(true);
    SetPriorityClass(GameProcess.handle, HIGH_PRIORITY_CLASS);
    SetPriorityClass(GetCurrentProcess(), BELOW_NORMAL_PRIORITY_CLASS);
    PassMark("show+priority");
    RenderFrame();
}

void RestMinimised() {
    if (GetForegroundWindow() == TargetGame.gameWindow)
        SetForegroundWindow(FindWindowA(nullptr, DesktopWindowName));
    ShowGameWindow(false);
    KeepDisplayOn(false);
    SetPriorityClass(GameProcess.handle, IDLE_PRIORITY_CLASS);
    SetPriorityClass(GetCurrentProcess(), IDLE_PRIORITY_CLASS);
    DiscardHotKeyPresses(); // no frame step runs: keys pressed now must not act on restore
}

// The fixed pacing sleeps PacingSleepMs before each pass. The smooth one sleeps until the
// schedule's next sample, on the absolute clock and a high-resolution timer where Windows
// offers one, and the fixed time while the viewer is minimised, since nothing is sampled then.
void SleepForPacing() {
    if (FramePacing.pacing != Pacing::Smooth || IsIconic(ViewerWindowHandle(TargetGame))) {
        SleepMs(PacingSleepMs);
        return;
    }
    SleepUntil(FramePacing.schedule.NextSample(Timer()));
}

// The next pass's picture is asked for now: the capture helper prints it meanwhile, to be
// ready when the fixed pacing's pass wakes, or at the smooth pacing's sample itself, which
// then takes the newest picture there is.
void CaptureForNextPass() {
    if (FramePacing.pacing == Pacing::Smooth)
        CaptureAt(FramePacing.schedule.NextSample(Timer()));
    else
        CaptureAhead(PacingSleepMs);
}

// One key event per pass; only the exact close request does anything. It is posted: a game
// that does not answer now receives it once it answers again.
void HandleOneKey() {
    if (PollKey() == CloseRequestText) PostMessageA(TargetGame.gameWindow, WM_CLOSE, 0, 0);
}

} // namespace

bool RenderPass() {
    PassBegin();
    SleepForPacing();
    PassMark("sleep");
    if (!IsWindow(TargetGame.gameWindow) || TargetGame.running.load() == 0) return false;
    ReleaseF5WhenDue(Timer());
    PassMark("checks");
    HandFocusToGame();
    PassMark("focus");
    ParkGameWindow();
    PassMark("park");
    const bool shown = !IsIconic(ViewerWindowHandle(TargetGame)) && IsWindow(TargetGame.gameWindow);
    PassMark("iconic");
    if (shown)
        Present();
    else
        RestMinimised();
    HandleOneKey();
    // The next pass begins with the pacing sleep: its picture can be printed meanwhile.
    if (shown) CaptureForNextPass();
    PassMark("close key");
    PassEnd(FilterRowOf(FrameState.filterMode).names[GridIndex(FrameGrid())],
            shown && Timer() >= FrameState.lastFilterKeyTime + FilterOverlaySeconds, "sleep");
    return true;
}

void RenderThread(void* /*parameter*/) {
    const bool raised = FramePacing.pacing == Pacing::Smooth;
    CapturePath.worker.raised = raised; // the print worker starts with the first print
    if (raised) RaiseThreadForPacing();
    while (RenderPass()) {}
    if (raised) LowerThreadFromPacing();
    StopCapture(); // does not wait for a print stuck in a game that does not answer
    WritePassTimings();
    KeepDisplayOn(false);
}

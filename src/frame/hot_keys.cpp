// The viewer's hot keys, read while the game or the viewer has the foreground:
// F6 full screen or window, F7 frames-per-second counter, F8 next filter, and the screenshot
// key (lumenpane.ini, F9 by default) while screenshots are on.
//
// Each key acts once per press: its latch remembers that it was reported in the previous
// pass, so a key held across many frames acts only on its first one.
//
// GetAsyncKeyState also reports a key pressed at any time since the previous query. Passes
// that do not read the hot keys (another program in front, the viewer minimised) still
// query them and drop what they report, so a key pressed for another program does not act
// once the game is back in front.
#include "frame/frame_step.h"
#include "frame/screenshots.h"
#include "game/fullscreen.h"
#include "game/target_game.h"
#include "window/surface.h"

HotKeysRecord HotKeys;

namespace {

constexpr DWORD F5PressMs = 50;
constexpr int KeyPollMs = 10;
constexpr double KeyUpLimitSeconds = 2.0;

bool Reported(int key) {
    return GetAsyncKeyState(key) != 0;
}

using Front = FocusHandOver::Front;

// The game and the viewer are compared with the foreground read anew each time; a hand-over
// to the game still waiting for it to take the foreground holds the keys back.
Front WhoIsInFront() {
    return FrameState.focusHandOver.Classify([] { return GetForegroundWindow(); },
                                             TargetGame.gameWindow, ViewerWindowHandle(TargetGame),
                                             Timer());
}

// A press of F6 that comes with Alt+Enter or F4 must not reach the viewer window as well:
// wait until both are up before drawing on. A key whose release never comes (a program
// that sent the press ended before sending the release) must not stop the frames for good:
// the wait gives up after KeyUpLimitSeconds.
void WaitForF4AndEnterUp() {
    const double start = Timer();
    for (;;) {
        SleepMs(KeyPollMs);
        const bool f4 = Reported(VK_F4);
        const bool enter = Reported(VK_RETURN);
        if (!f4 && !enter) return;
        if (Timer() - start >= KeyUpLimitSeconds) return;
    }
}

// F5 switches the game between its single-size and its doubled picture; the game resizes its
// window, which goes straight back off-screen at its start-up size. Neither the key nor the
// move waits for the game. The smooth pacing does not hold its samples for the press: it
// releases the key in the first pass after the press is due to end (ReleaseF5WhenDue).
void PressF5ForGame() {
    if (FramePacing.pacing == Pacing::Smooth) {
        if (HotKeys.f5ReleaseAt == 0.0) keybd_event(VK_F5, 0, 0, 0);
        HotKeys.f5ReleaseAt = Timer() + F5PressMs / 1000.0;
        return;
    }
    PressKeyForGame(VK_F5, F5PressMs);
    ParkGameWindow();
}

void HandleF6() {
    const bool reported = Reported(VK_F6);
    if (reported && !FrameState.f6Latch) {
        SetViewerFullscreen(TargetGame.fullscreen == 1 ? 0 : 1);
        WaitForF4AndEnterUp();
    }
    FrameState.f6Latch = reported;
}

void HandleF7() {
    const bool reported = Reported(VK_F7);
    if (reported && !FrameState.f7Latch) FrameState.fpsOverlayOn = !FrameState.fpsOverlayOn;
    FrameState.f7Latch = reported;
}

// Off reads the game's doubled picture, the filters its single-size one: F5 is pressed
// exactly when the cycle crosses between a filter that reads the one and one that reads the
// other.
void HandleF8() {
    const bool reported = Reported(VK_F8);
    if (reported && !FrameState.f8Latch) {
        const FilterMode next = NextFilterMode(FrameState.filterCycle, FrameState.filterMode);
        const bool crosses =
            FilterRowOf(next).readsDoubled != FilterRowOf(FrameState.filterMode).readsDoubled;
        FrameState.filterMode = next;
        if (crosses) PressF5ForGame();
        FrameState.lastFilterKeyTime = Timer();
    }
    FrameState.f8Latch = reported;
}

// The picture is copied later in the same pass, once drawn.
void HandleScreenshotKey() {
    if (!Screenshots.thread) return;
    const bool reported = Reported(Screenshots.key);
    if (reported && !Screenshots.latch) Screenshots.wanted = true;
    Screenshots.latch = reported;
}

} // namespace

void ReleaseF5WhenDue(double now) {
    if (HotKeys.f5ReleaseAt == 0.0 || now < HotKeys.f5ReleaseAt) return;
    keybd_event(VK_F5, 0, KEYEVENTF_KEYUP, 0);
    HotKeys.f5ReleaseAt = 0.0;
    ParkGameWindow();
}

void DiscardHotKeyPresses() {
    for (int key : {VK_F6, VK_F7, VK_F8}) Reported(key);
    if (Screenshots.thread) Reported(Screenshots.key);
}

// During the hand-over to the game the keys are not read at all: the presses since the last
// reading stay reported for the next pass.
void HandleHotKeys() {
    const Front front = WhoIsInFront();
    if (front == Front::HandOver) return;
    if (front == Front::Other) {
        DiscardHotKeyPresses();
        return;
    }
    HandleF6();
    HandleF7();
    HandleF8();
    HandleScreenshotKey();
}

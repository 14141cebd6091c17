// The viewer's hot keys, read while the game or the viewer has the foreground:
// F6 full screen or window, F7 frames-per-second counter, F8 next filter, and the screenshot
// key (lumenpane.ini, F9 by default) while screenshots are on.
//
// Each key acts once per press: its latch remembers that it was reported at the previous
// reading, so a key held across many frames acts only on its first one. A reading that finds
// the key up clears the latch, so every press needs a reading while its key is up before it:
// a wait longer than a key's release (the hand-over's) reads the keys as it goes.
//
// GetAsyncKeyState also reports a key pressed at any time since the previous query. Passes
// that do not read the hot keys (another program in front, the viewer minimised) still
// query them and drop what they report, so a key pressed for another program does not act
// once the game is back in front.
#include "frame/frame_step.h"
#include "frame/screenshots.h"
#include "game/fullscreen.h"
#include "game/target_game.h"
#include "pixels/image.h"
#include "runtime/viewer_log.h"
#include "window/surface.h"

#include <algorithm>
#include <cmath>

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
// releases the key in the first pass after the press is due to end (ReleaseF5WhenDue). The
// fixed pacing holds the pass, reading the hot keys meanwhile.
void PressF5ForGame() {
    if (FramePacing.pacing == Pacing::Smooth) {
        if (HotKeys.f5ReleaseAt == 0.0) keybd_event(VK_F5, 0, 0, 0);
        HotKeys.f5ReleaseAt = Timer() + F5PressMs / 1000.0;
        return;
    }
    keybd_event(VK_F5, 0, 0, 0);
    SleepReadingHotKeys(int(F5PressMs));
    keybd_event(VK_F5, 0, KEYEVENTF_KEYUP, 0);
    ParkGameWindow();
}

void ActOnF6() {
    SetViewerFullscreen(TargetGame.fullscreen == 1 ? 0 : 1);
    WaitForF4AndEnterUp();
}

void ActOnF7() {
    FrameState.fpsOverlayOn = !FrameState.fpsOverlayOn;
}

// Off reads the game's doubled picture, the filters its single-size one: F5 is pressed
// exactly when the cycle crosses between a filter that reads the one and one that reads the
// other.
void ActOnF8() {
    const FilterMode next = NextFilterMode(FrameState.filterCycle, FrameState.filterMode);
    const bool crosses =
        FilterRowOf(next).readsDoubled != FilterRowOf(FrameState.filterMode).readsDoubled;
    FrameState.filterMode = next;
    if (crosses) {
        HotKeys.f5Check.Pressed(Timer());
        PressF5ForGame();
    }
    FrameState.lastFilterKeyTime = Timer();
}

// The picture is copied later in the same pass, once drawn.
void ActOnScreenshotKey() {
    Screenshots.wanted = true;
}

bool Always() {
    return true;
}

bool ScreenshotsOn() {
    return Screenshots.thread != nullptr;
}

// One row per hot key, in the order a pass acts on them. Its latch remembers that the key was
// reported at the previous reading; its presses read but not yet acted on are
// HotKeys.pending at the row's index.
struct HotKey {
    bool (*inUse)();
    int (*code)();
    bool& (*latch)();
    void (*act)();
};

const HotKey HotKeyRows[HotKeyCount] = {
    {Always, [] { return int(VK_F6); }, []() -> bool& { return FrameState.f6Latch; }, ActOnF6},
    {Always, [] { return int(VK_F7); }, []() -> bool& { return FrameState.f7Latch; }, ActOnF7},
    {Always, [] { return int(VK_F8); }, []() -> bool& { return FrameState.f8Latch; }, ActOnF8},
    {ScreenshotsOn, [] { return Screenshots.key; }, []() -> bool& { return Screenshots.latch; },
     ActOnScreenshotKey},
};

void ActOnPendingPresses() {
    for (int row = 0; row < HotKeyCount; ++row)
        while (HotKeys.pending[row] > 0) {
            --HotKeys.pending[row];
            HotKeyRows[row].act();
        }
}

// F5 again for a game that kept its picture size (f5_check.h), pressed like the first.
void PressF5AgainWhenMissed() {
    const bool gameInFront = GetForegroundWindow() == TargetGame.gameWindow;
    switch (HotKeys.f5Check.Judge(gameInFront, Timer())) {
    case F5Check::Verdict::PressAgain:
        AppendViewerLog("the game kept its picture size after F5: pressed again");
        PressF5ForGame();
        break;
    case F5Check::Verdict::GiveUp:
        AppendViewerLog("the game did not switch its picture size on F5");
        break;
    case F5Check::Verdict::Wait:
        break;
    }
}

} // namespace

void ReleaseF5WhenDue(double now) {
    if (HotKeys.f5ReleaseAt == 0.0 || now < HotKeys.f5ReleaseAt) return;
    keybd_event(VK_F5, 0, KEYEVENTF_KEYUP, 0);
    HotKeys.f5ReleaseAt = 0.0;
    ParkGameWindow();
}

// The render window is 4 pixels wider than the picture it shows: 324 or 644.
void NoteGamePicture(const Image* picture, double printBegan) {
    if (!picture) return;
    HotKeys.f5Check.Seen(picture->width >= 640, FilterRowOf(FrameState.filterMode).readsDoubled,
                         printBegan);
}

void ReadHotKeys() {
    for (int row = 0; row < HotKeyCount; ++row) {
        const HotKey& key = HotKeyRows[row];
        if (!key.inUse()) continue;
        const bool reported = Reported(key.code());
        bool& latch = key.latch();
        if (reported && !latch) ++HotKeys.pending[row];
        latch = reported;
    }
}

void ReadHotKeysAgain() {
    if (HotKeys.readThisPass) ReadHotKeys();
}

void SleepReadingHotKeys(int ms) {
    const double end = Timer() + ms / 1000.0;
    for (double left = ms / 1000.0; left > 0.0; left = end - Timer()) {
        SleepEx(DWORD(std::min(KeyPollMs, int(std::lround(left * 1000.0)))), FALSE);
        ReadHotKeys();
    }
}

void DiscardHotKeyPresses() {
    for (const HotKey& key : HotKeyRows)
        if (key.inUse()) Reported(key.code());
    for (int& pending : HotKeys.pending) pending = 0;
}

// While the hand-over to the game waits for it to take the foreground, the presses are read
// and kept for a later pass.
void HandleHotKeys() {
    const Front front = WhoIsInFront();
    HotKeys.readThisPass = front != Front::Other;
    if (front == Front::Other) {
        DiscardHotKeyPresses();
        return;
    }
    ReadHotKeys();
    if (front == Front::HandOver) return;
    ActOnPendingPresses();
    PressF5AgainWhenMissed();
}

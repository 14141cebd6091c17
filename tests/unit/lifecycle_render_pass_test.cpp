// The render thread's passes: parking the game, focus hand-over, priorities, the minimised
// state, the close request and stopping.
#include "frame/frame_step.h"
#include "lifecycle_fixture.h"

#include <gtest/gtest.h>

namespace {

class RenderPassTest : public ::testing::Test {
  protected:
    SimGame game{};
    HWND viewer = nullptr;
    HWND desktop = nullptr;

    void SetUp() override {
        ResetViewer();
        desktop = SimAddWindow("Progman", "Program Manager", RECT{0, 0, 1024, 768});
        game = AttachGame();
        StartViewer();
        // As after the first frame step's reopen of the surface: these tests look at the
        // passes themselves, not at that one-time reopen.
        TargetGame.currentWidth = TargetGame.wantedWidth;
        TargetGame.currentHeight = TargetGame.wantedHeight;
        viewer = SurfaceWindowHandle();
        Sim.foreground = game.window;
        Sim.calls.clear();
    }
    void TearDown() override { ResetViewer(); }

    DWORD Priority(DWORD processId) { return Sim.processes.at(processId).priorityClass; }
    // The request that parks the game at its start-up size without waiting for it.
    std::string ParkRequest() {
        return "SetWindowPos(" + Handle(game.window) + "," + Handle(nullptr) +
               ",30000,30000,646,509," +
               std::to_string(SWP_ASYNCWINDOWPOS | SWP_NOACTIVATE | SWP_NOZORDER | SWP_NOREDRAW) +
               ")";
    }
    const SimWindow& Game() { return SimWindowOf(game.window); }
    static int Count(const char* call) { return int(SimCallsStartingWith(call).size()); }
};

TEST_F(RenderPassTest, PresentingPassParksTheGameShownAndRaisesItsPriority) {
    const double start = Sim.clockMs;
    MoveWindow(game.window, 5, 5, 200, 100, TRUE); // the game moved and resized itself
    SimWindowOf(game.window).visible = false;

    EXPECT_TRUE(RenderPass());
    EXPECT_DOUBLE_EQ(Sim.clockMs - start, 17.0);
    EXPECT_EQ(Game().rect.left, 30000);
    EXPECT_EQ(Game().rect.top, 30000);
    EXPECT_EQ(Game().rect.right - Game().rect.left, GameRect.right - GameRect.left);
    EXPECT_EQ(Game().rect.bottom - Game().rect.top, GameRect.bottom - GameRect.top);
    EXPECT_GE(CallIndex(ParkRequest()), 0);
    EXPECT_TRUE(Game().visible);
    EXPECT_EQ(Priority(game.processId), HIGH_PRIORITY_CLASS);
    EXPECT_EQ(Priority(Sim.currentProcessId), BELOW_NORMAL_PRIORITY_CLASS);
    EXPECT_EQ(Sim.foreground, game.window);
    EXPECT_EQ(Sim.openProcessAccess.size(), 1u) << "the process handle is not reopened";
}

TEST_F(RenderPassTest, ForegroundGoesBackToTheGame150MsAfterTheViewerTookIt) {
    Sim.foreground = viewer;
    const double start = Sim.clockMs;
    HWND foregroundJustBefore = nullptr;
    SimAfter(17 + 149, [&] { foregroundJustBefore = Sim.foreground; });

    RenderPass();
    EXPECT_EQ(foregroundJustBefore, viewer);
    EXPECT_EQ(Sim.foreground, game.window);
    EXPECT_DOUBLE_EQ(Sim.clockMs - start, 17.0 + 150.0);

    // With the game in front, no pause and no hand-over.
    Sim.calls.clear();
    const double next = Sim.clockMs;
    RenderPass();
    EXPECT_DOUBLE_EQ(Sim.clockMs - next, 17.0);
    EXPECT_TRUE(SimCallsStartingWith("SetForegroundWindow").empty());
}

TEST_F(RenderPassTest, HotKeysPressedBeforeTheHandOverWaitUntilAWindowIsSeenInFront) {
    // No window in front after the hand-over: the press waits, then acts for the game.
    Sim.foreground = viewer;
    Sim.foregroundTakenLate = true;
    SimAfter(17 + 50, [] { SimTap(VK_F8); });
    RenderPass();
    EXPECT_EQ(FrameState.filterMode, FilterOff);
    EXPECT_TRUE(Sim.keyEvents.empty());
    Sim.foreground = game.window;
    RenderPass();
    EXPECT_EQ(FrameState.filterMode, FilterScale2x);
    EXPECT_EQ(Sim.keyEvents.size(), 2u) << "F5 pressed with the game in front";
    RenderPass(); // the latch clears

    // Another window in front instead: the press is dropped.
    Sim.foreground = viewer;
    SimAfter(17 + 50, [] { SimTap(VK_F8); });
    RenderPass();
    Sim.foreground = desktop;
    RenderPass();
    Sim.foreground = game.window;
    RenderPass();
    EXPECT_EQ(FrameState.filterMode, FilterScale2x);
}

// The hand-over's wait is longer than a quick tap's release: two taps during it are two
// presses (a reading only at its end would see one), acted on with the game in front.
TEST_F(RenderPassTest, EveryTapDuringTheHandOverWaitActs) {
    Sim.foreground = viewer;
    SimAfter(17 + 20, [] { SimTap(VK_F8); });
    SimAfter(17 + 100, [] { SimTap(VK_F8); });
    RenderPass();
    EXPECT_EQ(Sim.foreground, game.window);
    EXPECT_EQ(FrameState.filterMode, FilterHq2x);
}

TEST_F(RenderPassTest, HotKeysActWhenAGameThatDoesNotAnswerNeverTakesTheForeground) {
    Sim.foreground = viewer;
    Sim.foregroundTakenLate = true;
    SimAfter(17 + 50, [] { SimTap(VK_F8); });
    RenderPass();
    EXPECT_EQ(FrameState.filterMode, FilterOff);
    for (int pass = 0; pass < 20; ++pass) RenderPass(); // a third of a second, nobody in front
    EXPECT_EQ(Sim.foreground, nullptr);
    EXPECT_EQ(FrameState.filterMode, FilterScale2x);
}

// With the smooth pacing the hand-over and the F5 of a filter change run on due times: no
// pass waits for them, and they happen when due.
TEST_F(RenderPassTest, TheSmoothPacingHandsOverAndPressesF5WithoutHoldingAPass) {
    FramePacing.pacing = Pacing::Smooth;
    Sim.foreground = viewer;
    const double clicked = Sim.clockMs;
    double handedAt = 0, longestPass = 0;
    SimAfter(100, [] { SimTap(VK_F8); });
    while (Sim.clockMs < clicked + 400) {
        const double start = Sim.clockMs;
        RenderPass();
        longestPass = std::max(longestPass, Sim.clockMs - start);
        if (!handedAt && Sim.foreground == game.window) handedAt = Sim.clockMs;
    }
    EXPECT_LE(longestPass, 20.0);
    EXPECT_GE(handedAt - clicked, 150.0);
    EXPECT_LE(handedAt - clicked, 150.0 + 20.0);
    EXPECT_EQ(FrameState.filterMode, FilterScale2x);
    ASSERT_EQ(Sim.keyEvents.size(), 2u);
    EXPECT_EQ(Sim.keyEvents[0].key, VK_F5);
    EXPECT_EQ(Sim.keyEvents[1].flags, DWORD(KEYEVENTF_KEYUP));
    const double held = Sim.keyEvents[1].timeMs - Sim.keyEvents[0].timeMs;
    EXPECT_GE(held, 50.0);
    EXPECT_LE(held, 50.0 + 20.0);
}

TEST_F(RenderPassTest, MinimisedViewerHidesTheGameIdlesBothAndRestoringResumes) {
    SimWindowOf(viewer).minimised = true;
    EXPECT_TRUE(RenderPass());
    EXPECT_EQ(Sim.foreground, desktop);
    EXPECT_FALSE(Game().visible);
    EXPECT_EQ(Game().rect.left, 30000);
    EXPECT_EQ(Priority(game.processId), IDLE_PRIORITY_CLASS);
    EXPECT_EQ(Priority(Sim.currentProcessId), IDLE_PRIORITY_CLASS);

    // The foreground is taken from the game only: another window keeps it.
    HWND other = SimAddWindow("Notepad", "Untitled", RECT{0, 0, 100, 100});
    Sim.foreground = other;
    RenderPass();
    EXPECT_EQ(Sim.foreground, other);

    SimWindowOf(viewer).minimised = false;
    RenderPass();
    EXPECT_TRUE(Game().visible);
    EXPECT_EQ(Priority(game.processId), HIGH_PRIORITY_CLASS);
    EXPECT_EQ(Priority(Sim.currentProcessId), BELOW_NORMAL_PRIORITY_CLASS);
}

// A game that stops answering: no pass waits on it, the game is neither printed nor asked
// to move or show (so requests do not pile up), hot keys still act, and the close request
// is posted for the game to receive once it answers again.
TEST_F(RenderPassTest, AHungGameHoldsNoPassAndGetsTheCloseRequestLater) {
    SimAddWindow("TPanel", "", RECT{30000, 30000, 30644, 30484}, game.processId, game.window);
    RenderPass();                                  // parked, shown and printed once
    MoveWindow(game.window, 5, 5, 200, 100, TRUE); // moved itself just before it hung
    Sim.processes.at(game.processId).hungUntilMs = Sim.clockMs + 10000;
    Sim.calls.clear();
    const bool counterWas = FrameState.fpsOverlayOn;
    SimTap(VK_F7);
    QueueKey(CloseRequestKey);
    for (int i = 0; i < 30; ++i) {
        const double start = Sim.clockMs;
        EXPECT_TRUE(RenderPass());
        EXPECT_LE(Sim.clockMs - start, 17.0 + 50.0) << "pass " << i;
    }
    EXPECT_NE(FrameState.fpsOverlayOn, counterWas) << "F7 acted";
    EXPECT_EQ(Game().posted, std::vector<UINT>{WM_CLOSE});
    EXPECT_EQ(Count("PrintWindow"), 0);
    EXPECT_EQ(Count("SetWindowPos"), 0);
    EXPECT_EQ(Count("MoveWindow") + Count("ShowWindow") + Count("SendMessageA("), 0);

    SimAdvance(10000); // it answers again: parked at once, without waiting
    Sim.calls.clear();
    RenderPass();
    EXPECT_EQ(SimCallsStartingWith(ParkRequest()).size(), 1u);
    EXPECT_EQ(Game().rect.left, 30000);
    EXPECT_EQ(Count("PrintWindow"), 1);
    RenderPass();
    EXPECT_EQ(Count("SetWindowPos"), 1) << "a parked game is not asked again";
}

TEST_F(RenderPassTest, HotKeysPressedWhileMinimisedDoNotActAfterRestoring) {
    SimWindowOf(viewer).minimised = true;
    RenderPass();
    SimTap(VK_F6);
    SimTap(VK_F8);
    RenderPass();
    SimWindowOf(viewer).minimised = false;
    Sim.foreground = game.window; // minimising sent the front to the desktop
    RenderPass();
    EXPECT_EQ(TargetGame.fullscreen, 0);
    EXPECT_TRUE(Sim.keyEvents.empty()) << "no F5 for the game: the filter stayed";
}

TEST_F(RenderPassTest, CloseRequestSendsWmCloseOnceAndOtherKeysAreDiscardedOnePerPass) {
    QueueKey(CloseRequestKey);
    QueueKey('k');
    QueueKey(0x6AFF); // a special key that only differs in its letter
    QueueKey(CloseRequestKey);

    RenderPass();
    EXPECT_EQ(Game().posted, std::vector<UINT>{WM_CLOSE});
    RenderPass();
    RenderPass();
    EXPECT_EQ(Game().posted.size(), 1u) << "'k' and 0xFF 'j' are not close requests";
    RenderPass();
    EXPECT_EQ(Game().posted.size(), 2u);
    RenderPass();
    EXPECT_EQ(Game().posted.size(), 2u);
    EXPECT_EQ(PollKey(), "");
}

// The close the player asks for while the first frame opens the surface again is not lost.
TEST_F(RenderPassTest, CloseRequestOutlivesTheFirstFramesReopen) {
    TargetGame.currentWidth = TargetGame.currentHeight = 0;
    QueueKey(CloseRequestKey);
    RenderPass();
    EXPECT_NE(SurfaceWindowHandle(), viewer) << "the surface opened again";
    EXPECT_EQ(Game().posted, std::vector<UINT>{WM_CLOSE});
}

TEST_F(RenderPassTest, AKeyBurstIsConsumedOneKeyPerPass) {
    for (char c : std::string("abc")) QueueKey(std::uint32_t(c));
    RenderPass();
    EXPECT_EQ(PollKey(), "b");
    EXPECT_TRUE(Game().posted.empty());
}

TEST_F(RenderPassTest, ClearingRunningEndsTheThreadAtTheNextCheck) {
    const double start = Sim.clockMs;
    SimAfter(40, [] { TargetGame.running = 0; });
    SimAfter(500, [&] { SimRemoveWindow(game.window); }); // ends a loop that ignores the flag
    RenderThread(nullptr);
    EXPECT_DOUBLE_EQ(Sim.clockMs - start, 3 * 17.0);
    EXPECT_EQ(SimCallsStartingWith("SleepEx(17)").size(), 3u);
    EXPECT_EQ(SimCallsStartingWith("SetPriorityClass").size(), 2 * 2u) << "no work after the stop";
}

TEST_F(RenderPassTest, GameWindowGoneEndsTheThreadWithoutTouchingIt) {
    SimAfter(60, [&] { SimRemoveWindow(game.window); });
    RenderThread(nullptr);
    EXPECT_EQ(SimCallsStartingWith("SleepEx(17)").size(), 4u);
    EXPECT_EQ(SimCallsStartingWith("SetPriorityClass").size(), 3 * 2u);
    EXPECT_FALSE(RenderPass());
}

} // namespace

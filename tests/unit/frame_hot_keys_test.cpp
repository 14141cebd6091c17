// The frame step's hot keys: one action per press, F5 for the game exactly when the filter
// crosses between Off and the filters, and nothing while another window is in front.
#include "viewer_fixture.h"

namespace {

using HotKeys = ViewerOnSim;

std::vector<SimKeyEvent> F5Events() {
    std::vector<SimKeyEvent> found;
    for (const SimKeyEvent& event : Sim.keyEvents)
        if (event.key == VK_F5) found.push_back(event);
    return found;
}

// Whether the game window sits off-screen at its start-up size (savedRect (100,60)-(746,572)).
bool GameParkedAtStartUpSize() {
    const RECT r = SimWindowOf(TargetGame.gameWindow).rect;
    return r.left == 30000 && r.top == 30000 && r.right - r.left == 646 && r.bottom - r.top == 512;
}

TEST_F(HotKeys, F8HeldAcrossManyFramesAdvancesTheFilterOnce) {
    SimKeyDown(VK_F8);
    for (int i = 0; i < 20; ++i) Frame();
    EXPECT_EQ(FrameState.filterMode, FilterScale2x);
    EXPECT_EQ(F5Events().size(), 2u);
    SimKeyUp(VK_F8);
    Frame();
    EXPECT_FALSE(FrameState.f8Latch);
    SimKeyDown(VK_F8);
    Frame();
    EXPECT_EQ(FrameState.filterMode, FilterHq2x);
}

TEST_F(HotKeys, ThreePressesReturnToOffAndPressF5AtTheFirstAndTheThird) {
    struct Step {
        FilterMode after;
        bool f5;
    };
    const Step steps[] = {{FilterScale2x, true}, {FilterHq2x, false}, {FilterOff, true}};
    std::size_t f5Events = 0;
    for (const Step& step : steps) {
        // The game resized itself at the last F5; only the next F5 parks it again.
        MoveWindow(TargetGame.gameWindow, 5, 5, 1292, 1024, TRUE);
        SimTap(VK_F8);
        Frame();
        Frame(); // the tap is no longer reported: the latch clears
        EXPECT_EQ(FrameState.filterMode, step.after);
        const auto events = F5Events();
        ASSERT_EQ(events.size(), f5Events + (step.f5 ? 2 : 0)) << "after " << step.after;
        if (step.f5) {
            EXPECT_EQ(events[f5Events].flags, 0u);
            EXPECT_EQ(events[f5Events + 1].flags, KEYEVENTF_KEYUP);
            EXPECT_DOUBLE_EQ(events[f5Events + 1].timeMs - events[f5Events].timeMs, 50.0);
        }
        f5Events = events.size();
        EXPECT_EQ(GameParkedAtStartUpSize(), step.f5) << "after " << step.after;
    }
    EXPECT_EQ(f5Events, 4u);
    EXPECT_TRUE(doubled) << "the game is back at its doubled size for Off";
}

TEST_F(HotKeys, TheFilterChangeIsStampedAfterTheF5Press) {
    const double before = Timer();
    SimTap(VK_F8);
    RenderFrame();
    EXPECT_NEAR(FrameState.lastFilterKeyTime - before, 0.050, 1e-6);
}

// A filter change whose F5 the game does not take at once: the viewer presses F5 again, only
// with the game in front, until the pictures have the filter's size, and at most twice more.
TEST_F(HotKeys, AnF5TheGameDidNotTakeIsPressedAgainWithTheGameInFront) {
    struct Case {
        const char* what;
        int lost;            // presses the game drops although it is in front
        double lateSeconds;  // from a release to the game's switch
        double inFrontAfter; // the viewer in front until then: its presses are lost
        int presses;         // F5 presses in all
        bool single;         // the game ends at its single size, as Scale2x reads it
    };
    const Case cases[] = {
        {"taken", 0, 0.0, 0.0, 1, true},
        {"the first lost", 1, 0.0, 0.0, 2, true},
        {"lost while the viewer is in front for 3 s", 0, 0.0, 3.0, 2, true},
        {"each taken 0.7 s late", 0, 0.7, 0.0, 3, true},
        {"never taken", 100, 0.0, 0.0, 3, false},
    };
    Frame(); // the reopened surface window comes to the front
    for (const Case& c : cases) {
        ShowGameFrame(true);
        FrameState.filterMode = FilterOff;
        ::HotKeys = HotKeysRecord{};
        Sim.keyEvents.clear();
        int lost = c.lost;
        std::vector<double> switches; // when the game's late switches come
        Sim.onKeyEvent = [&](BYTE key, DWORD flags) {
            if (key != VK_F5 || flags != KEYEVENTF_KEYUP || Sim.foreground != game) return;
            if (lost > 0 && lost--) return;
            if (c.lateSeconds == 0.0)
                ShowGameFrame(!doubled);
            else
                switches.push_back(Timer() + c.lateSeconds);
        };
        const double start = Timer();
        Sim.foreground = c.inFrontAfter > 0.0 ? Viewer() : game;
        SimTap(VK_F8);
        while (Timer() - start < c.inFrontAfter + 5.0) {
            if (Timer() - start >= c.inFrontAfter) Sim.foreground = game;
            for (double& at : switches)
                if (at != 0.0 && Timer() >= at) ShowGameFrame(!doubled), at = 0.0;
            Frame();
        }
        int presses = 0;
        for (const SimKeyEvent& event : F5Events()) presses += event.flags == 0;
        EXPECT_EQ(presses, c.presses) << c.what;
        EXPECT_EQ(!doubled, c.single) << c.what;
    }
}

TEST_F(HotKeys, KeysAreIgnoredAndLatchesKeptWhileAnotherWindowIsInFront) {
    Frame(); // the reopened surface window comes to the front
    HWND other = SimAddWindow("Notepad", "Untitled", RECT{0, 0, 300, 200});
    Sim.foreground = other;
    FrameState.f7Latch = true;
    FrameState.f8Latch = false;
    SimKeyUp(VK_F7);
    SimKeyDown(VK_F8);
    SimTap(VK_F6);
    for (int i = 0; i < 5; ++i) Frame();
    EXPECT_EQ(FrameState.filterMode, FilterOff);
    EXPECT_FALSE(FrameState.fpsOverlayOn);
    EXPECT_EQ(TargetGame.fullscreen, 0);
    EXPECT_TRUE(FrameState.f7Latch);
    EXPECT_FALSE(FrameState.f8Latch);
    EXPECT_TRUE(Sim.keyEvents.empty());

    // The game in front: F8, still held, counts as a fresh press since its latch is clear.
    Sim.foreground = game;
    Frame();
    EXPECT_EQ(FrameState.filterMode, FilterScale2x);
    EXPECT_TRUE(FrameState.f8Latch);
    EXPECT_FALSE(FrameState.f7Latch);
}

// GetAsyncKeyState also reports a press made since the previous query: presses made for
// another program must be dropped then, not act when the game is back in front.
TEST_F(HotKeys, PressesMadeWhileAnotherWindowIsInFrontNeverAct) {
    Frame();
    Sim.foreground = SimAddWindow("Notepad", "Untitled", RECT{0, 0, 300, 200});
    SimTap(VK_F6);
    SimTap(VK_F7);
    SimTap(VK_F8);
    Frame();
    Sim.foreground = game;
    Frame();
    Frame();
    EXPECT_EQ(TargetGame.fullscreen, 0);
    EXPECT_FALSE(FrameState.fpsOverlayOn);
    EXPECT_EQ(FrameState.filterMode, FilterOff);
    EXPECT_TRUE(Sim.keyEvents.empty());

    SimTap(VK_F6);
    Frame();
    Frame();
    EXPECT_EQ(TargetGame.fullscreen, 1) << "the next press with the game in front switches once";
}

TEST_F(HotKeys, TheViewerWindowInFrontAlsoEnablesThem) {
    Frame(); // the first frame reopens the surface: a new viewer window
    ASSERT_EQ(Sim.foreground, Viewer());
    SimTap(VK_F7);
    Frame();
    EXPECT_TRUE(FrameState.fpsOverlayOn);
}

TEST_F(HotKeys, NoForegroundWindowIsNotTheViewerEvenWithoutASurfaceWindow) {
    Frame();
    CloseSurface();
    Sim.foreground = nullptr;
    SimTap(VK_F7);
    HandleHotKeys();
    EXPECT_FALSE(FrameState.fpsOverlayOn);
}

TEST_F(HotKeys, F7TogglesTheCounterOncePerPress) {
    SimKeyDown(VK_F7);
    for (int i = 0; i < 4; ++i) Frame();
    EXPECT_TRUE(FrameState.fpsOverlayOn);
    SimKeyUp(VK_F7);
    Frame();
    SimTap(VK_F7);
    Frame();
    EXPECT_FALSE(FrameState.fpsOverlayOn);
}

TEST_F(HotKeys, F6HeldTogglesFullScreenOnceAndTheNextPressSwitchesBack) {
    Frame();
    SimKeyDown(VK_F6);
    for (int i = 0; i < 6; ++i) Frame();
    EXPECT_EQ(TargetGame.fullscreen, 1);
    EXPECT_EQ(Count("SetWindowPos"), 1);
    SimKeyUp(VK_F6);
    Frame();
    SimTap(VK_F6);
    Frame();
    EXPECT_EQ(TargetGame.fullscreen, 0);
    EXPECT_EQ(Count("SetWindowPos"), 2);
}

TEST_F(HotKeys, AfterF6TheStepWaitsAtLeastOneSleepAndUntilF4AndEnterAreUp) {
    Frame();
    SimTap(VK_F6);
    const double first = Timer();
    HandleHotKeys();
    EXPECT_GE(Timer() - first, 0.0095) << "the first test comes after the first sleep";
    EXPECT_LT(Timer() - first, 0.020);

    HandleHotKeys(); // the tap is no longer reported: the latch clears
    EXPECT_FALSE(FrameState.f6Latch);
    SimKeyDown(VK_RETURN);
    SimKeyDown(VK_F4);
    SimAfter(95, [] { SimKeyUp(VK_F4); });
    SimAfter(205, [] { SimKeyUp(VK_RETURN); });
    Sim.calls.clear();
    SimTap(VK_F6);
    const double start = Timer();
    HandleHotKeys();
    EXPECT_GE(Timer() - start, 0.205);
    EXPECT_LT(Timer() - start, 0.225);
    EXPECT_EQ(TargetGame.fullscreen, 0) << "the second press switched back";
}

TEST_F(HotKeys, AKeyThatIsNeverReleasedHoldsTheF6WaitForTwoSecondsOnly) {
    Frame();
    SimKeyDown(VK_F4); // its release never comes (a late one keeps a broken wait finite)
    SimAfter(60000, [] { SimKeyUp(VK_F4); });
    SimTap(VK_F6);
    const double start = Timer();
    HandleHotKeys();
    EXPECT_NEAR(Timer() - start, 2.0, 0.011);
    EXPECT_EQ(TargetGame.fullscreen, 1);
    SimTap(VK_F7); // the frames go on
    Frame();
    EXPECT_TRUE(FrameState.fpsOverlayOn);
}

TEST_F(HotKeys, TheF6WaitIsSkippedWhenTheLatchHoldsTheKey) {
    Frame();
    SimKeyDown(VK_F6);
    Frame();
    SimKeyDown(VK_RETURN);
    SimAfter(500, [] { SimKeyUp(VK_RETURN); });
    Sim.calls.clear();
    const double start = Timer();
    HandleHotKeys();
    EXPECT_LT(Timer() - start, 0.001) << "a held F6 that did not toggle must not block frames";
}

} // namespace

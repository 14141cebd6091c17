// Switching the viewer window between its framed placement and full screen.
#include "viewer_fixture.h"

#include <thread>

namespace {

class Fullscreen : public ViewerOnSim {
  protected:
    void SetUp() override {
        ViewerOnSim::SetUp();
        viewer = Viewer();
        windowed = SimWindowOf(viewer);
        Sim.screenWidth = 1280;
        Sim.screenHeight = 720;
    }
    void ExpectWindowed() {
        const SimWindow& w = SimWindowOf(viewer);
        EXPECT_EQ(TargetGame.fullscreen, 0);
        EXPECT_EQ(w.style, windowed.style);
        EXPECT_EQ(w.exStyle, windowed.exStyle);
        EXPECT_EQ(w.rect.left, windowed.rect.left);
        EXPECT_EQ(w.rect.top, windowed.rect.top);
        EXPECT_EQ(w.rect.right, windowed.rect.right);
        EXPECT_EQ(w.rect.bottom, windowed.rect.bottom);
        EXPECT_FALSE(w.topmost);
        EXPECT_TRUE(w.visible);
    }
    void ExpectFullscreen() {
        const SimWindow& w = SimWindowOf(viewer);
        EXPECT_EQ(TargetGame.fullscreen, 1);
        EXPECT_EQ(w.style, 0);
        EXPECT_EQ(std::uint32_t(w.exStyle), 0x96000008u);
        EXPECT_EQ(w.rect.left, 0);
        EXPECT_EQ(w.rect.top, 0);
        EXPECT_EQ(w.rect.right, 1280);
        EXPECT_EQ(w.rect.bottom, 720);
        EXPECT_TRUE(w.topmost);
        EXPECT_TRUE(w.visible);
    }

    HWND viewer = nullptr;
    SimWindow windowed;
};

TEST_F(Fullscreen, CoversTheScreenTopmostWithoutAFrameAndComesBackExactly) {
    SetViewerFullscreen(1);
    ExpectFullscreen();
    const std::string h = SimHandleText(viewer);
    const std::vector<std::string> expected = {
        "ShowWindow(" + h + ",0)", "SetWindowLongA(" + h + ",-16,0)",
        "SetWindowLongA(" + h + ",-20,2516582408)",
        "SetWindowPos(" + h + "," + SimHandleText(HWND_TOPMOST) + ",0,0,1280,720,64)"};
    std::vector<std::string> made;
    for (const std::string& call : Sim.calls)
        if (call.rfind("Enter", 0) != 0 && call.rfind("Leave", 0) != 0) made.push_back(call);
    EXPECT_EQ(made, expected);

    SetViewerFullscreen(0);
    ExpectWindowed();
    EXPECT_EQ(SimCallsStartingWith("SetWindowPos").back(),
              "SetWindowPos(" + h + "," + SimHandleText(HWND_NOTOPMOST) + "," +
                  std::to_string(windowed.rect.left) + "," + std::to_string(windowed.rect.top) +
                  ",646,509,64)");
}

TEST_F(Fullscreen, AnyValueButOneSwitchesBack) {
    SetViewerFullscreen(1);
    SetViewerFullscreen(2);
    ExpectWindowed();
}

TEST_F(Fullscreen, SwitchingToTheModeAlreadySetChangesNothing) {
    // F6 before the automatic switch a second after start-up: the windowed placement is kept.
    SetViewerFullscreen(1);
    Sim.calls.clear();
    SetViewerFullscreen(1);
    EXPECT_TRUE(SimCallsStartingWith("S").empty());
    ExpectFullscreen();
    SetViewerFullscreen(0);
    ExpectWindowed();
    Sim.calls.clear();
    SetViewerFullscreen(0);
    EXPECT_TRUE(SimCallsStartingWith("S").empty());
    ExpectWindowed();
}

TEST_F(Fullscreen, DoesNothingUnlessTheViewerRuns) {
    TargetGame.running = 0;
    SetViewerFullscreen(1);
    EXPECT_TRUE(Sim.calls.empty());
    EXPECT_EQ(TargetGame.fullscreen, 0);
    TargetGame.running = 1;
    SetViewerFullscreen(1);
    TargetGame.running = 0;
    Sim.calls.clear();
    SetViewerFullscreen(0);
    EXPECT_TRUE(Sim.calls.empty());
    EXPECT_EQ(TargetGame.fullscreen, 1);
}

TEST_F(Fullscreen, EveryWindowCallRunsUnderItsOwnLockNotTheSurfaceLock) {
    SetViewerFullscreen(1);
    SetViewerFullscreen(0);
    int depth = 0, windowCalls = 0;
    for (const std::string& call : Sim.calls) {
        if (call == "EnterCriticalSection")
            ++depth;
        else if (call == "LeaveCriticalSection")
            --depth;
        else {
            ++windowCalls;
            EXPECT_EQ(depth, 1) << call << " ran outside the lock";
        }
    }
    EXPECT_EQ(windowCalls, 8);
    EXPECT_EQ(depth, 0);
    EXPECT_EQ(Sim.criticalSectionDepth, 0);
    EXPECT_EQ(Surface.lockCount, 0);
}

TEST_F(Fullscreen, ASwitchBeforeTheFirstFrameCarriesOverToTheReopenedWindow) {
    // On a slow start the main thread's switch can come before the first frame, whose reopen
    // replaces the viewer window with a framed one.
    SetViewerFullscreen(1);
    Frame();
    ASSERT_NE(Viewer(), viewer);
    viewer = Viewer();
    ExpectFullscreen();
    SetViewerFullscreen(0);
    const SimWindow& w = SimWindowOf(viewer);
    EXPECT_EQ(TargetGame.fullscreen, 0);
    EXPECT_EQ(w.style, windowed.style);
    EXPECT_EQ(w.rect.left, (1280 - 640) / 2) << "the new window's own centred placement";
    EXPECT_EQ(w.rect.top, (720 - 480) / 2);
    EXPECT_EQ(w.rect.right - w.rect.left, 646);
    EXPECT_FALSE(w.topmost);
}

TEST_F(Fullscreen, TheReopenRunsUnderThePlacementLockAndKeepsAFramedWindowFramed) {
    Frame();
    int depth = 0;
    bool reopened = false;
    for (const std::string& call : Sim.calls) {
        if (call == "EnterCriticalSection") ++depth;
        if (call == "LeaveCriticalSection") --depth;
        if (call.rfind("OpenSurface", 0) == 0) {
            reopened = true;
            EXPECT_EQ(depth, 1) << "the reopen ran outside the lock";
        }
    }
    EXPECT_TRUE(reopened);
    EXPECT_EQ(TargetGame.fullscreen, 0);
    EXPECT_EQ(SimWindowOf(Viewer()).style, windowed.style);
    EXPECT_TRUE(SimCallsStartingWith("SetWindowPos").empty());
}

TEST_F(Fullscreen, TwoThreadsSwitchingAtOnceLeaveAConsistentWindow) {
    // The main thread's switch and the render thread's F6 may meet; each switch must see the
    // other's finished result, so the placement saved is always the windowed one.
    auto toggle = [](int times) {
        for (int i = 0; i < times; ++i) SetViewerFullscreen(std::uint8_t(i % 2 == 0));
    };
    std::thread main(toggle, 400), render(toggle, 401);
    main.join();
    render.join();
    if (TargetGame.fullscreen == 1) {
        ExpectFullscreen();
        SetViewerFullscreen(0);
    }
    ExpectWindowed();
}

} // namespace

// The viewer's main thread: finding the game, taking its window over, and giving it back.
#include "lifecycle_fixture.h"
#include "pixels/hq2x.h"
#include "platform/game_contract.h"

#include <gtest/gtest.h>

#include <sstream>

namespace {

class ViewerStartStop : public ::testing::Test {
  protected:
    void SetUp() override { ResetViewer(); }
    void TearDown() override { ResetViewer(); }
};

std::vector<std::string> SplitLines(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t at; (at = text.find("\r\n", start)) != std::string::npos; start = at + 2)
        lines.push_back(text.substr(start, at - start));
    lines.push_back(text.substr(start));
    return lines;
}

TEST_F(ViewerStartStop, WithoutAGameShowsTheUsageMessageAndEndsWithOne) {
    SimAddWindow("Notepad", "Untitled", RECT{0, 0, 300, 200});
    delete[] Rgb565To888Table; // only the start-up allocates them in this program
    delete[] Rgb565ToYuvTable;
    Rgb565To888Table = Rgb565ToYuvTable = nullptr;
    EXPECT_EQ(ViewerMain(), 1);

    ASSERT_EQ(Sim.messageBoxes.size(), 1u);
    const SimMessageBox& box = Sim.messageBoxes[0];
    EXPECT_EQ(box.caption, "Lumenpane");
    EXPECT_EQ(box.type, MB_OK | MB_ICONINFORMATION);
    EXPECT_EQ(Sim.calls[CallIndex("MessageBoxA")], "MessageBoxA(" + Handle(nullptr) + ")");
    const std::vector<std::string> lines = SplitLines(box.text);
    ASSERT_EQ(lines.size(), 9u) << box.text;
    EXPECT_EQ(lines[0], "Lumenpane v1.10 Alpha");
    EXPECT_EQ(lines[1], "");
    EXPECT_EQ(lines[2], "Created by Orvalle");
    EXPECT_EQ(lines[3].rfind("http", 0), 0u) << lines[3];
    EXPECT_EQ(lines[4], "Start RPG Maker game first, then start Lumenpane.");
    EXPECT_EQ(lines[5], "");
    EXPECT_EQ(lines[6], "F6: Toggle Fullscreen/Window");
    EXPECT_EQ(lines[7], "F7: Show/Hide FPS");
    EXPECT_EQ(lines[8], "F8: Set filter (Off -> Scale2x -> hq2x)");
    EXPECT_EQ(box.text.find('\n'), box.text.find("\r\n") + 1) << "lines end in CR LF";

    EXPECT_EQ(CallIndex("OpenSurface"), -1);
    EXPECT_EQ(CallIndex("StartThread"), -1);
    EXPECT_TRUE(Sim.processStarts.empty()) << "no guard without a game";
    EXPECT_EQ(Sim.windows.size(), 1u);
    // The filter tables come first, before the game is looked for.
    ASSERT_NE(Rgb565To888Table, nullptr);
    ASSERT_NE(Rgb565ToYuvTable, nullptr);
    EXPECT_EQ(Rgb565To888Table[0xFFFF], 0u);
    EXPECT_EQ(Rgb565ToYuvTable[0x1234], 0u);
}

TEST_F(ViewerStartStop, AttachesToTheFirstGameWindowAndCutsItsTitleTo99Characters) {
    const std::string longTitle(120, 'T');
    const SimGame first = AddGame(longTitle);
    AddGame("Second Game");
    std::string viewerClass, viewerCaption;
    SimAfter(200, [&] {
        const SimWindow& viewer = SimWindowOf(SurfaceWindowHandle());
        viewerClass = viewer.className;
        viewerCaption = viewer.caption;
    });
    SimAfter(500, [&] { SimEndProcess(first.processId); });

    EXPECT_EQ(ViewerMain(), 0);
    EXPECT_EQ(TargetGame.gameWindow, first.window);
    EXPECT_EQ(TargetGame.processId, first.processId);
    EXPECT_EQ(TargetGame.title, std::string(99, 'T'));
    EXPECT_EQ(viewerClass, ViewerWindowClassPrefix + std::string(99, 'T'));
    EXPECT_EQ(viewerCaption, std::string(99, 'T'));
}

TEST_F(ViewerStartStop, EndsWithZeroWithinOnePollOfTheGameWindowGoing) {
    const SimGame game = AddGame();
    double goneAt = 0;
    SimAfter(1234, [&] {
        goneAt = Sim.clockMs;
        SimRemoveWindow(game.window);
    });
    EXPECT_EQ(ViewerMain(), 0);
    EXPECT_GT(goneAt, 0);
    // At most one 50 ms poll plus the render thread's last 17 ms pass.
    EXPECT_LE(Sim.clockMs - goneAt, 50.0 + 17.0);
    EXPECT_EQ(TargetGame.running.load(), 0);
    EXPECT_EQ(SurfaceWindowHandle(), nullptr);
    EXPECT_GE(CallIndex("CloseSurface"), CallIndex("WaitThread"));
}

// Sleeps end on the system timer's 15.625 ms tick unless the program asks for a finer period:
// the viewer holds 1 ms from its start to its end, so 60 render passes take about a second
// instead of about two. The usage path gives the period back too.
TEST_F(ViewerStartStop, HoldsAFineTimerPeriodSoSixtyRenderPassesTakeASecond) {
    Sim.timerTickMs = 15.625;
    const SimGame game = AddGame();
    double sixtyPassesMs = 0;
    SimAfter(1500, [&] { // full screen by now
        RenderPass();    // the first frame reopens the viewer window, which takes the front
        RenderPass();    // and the next one hands the front back to the game
        const double start = Sim.clockMs;
        for (int i = 0; i < 60; ++i) RenderPass();
        sixtyPassesMs = Sim.clockMs - start;
        SimEndProcess(game.processId);
    });
    EXPECT_EQ(ViewerMain(), 0);
    EXPECT_NEAR(sixtyPassesMs, 60 * 17.0, 10.0);
    EXPECT_TRUE(Sim.timerPeriods.empty()) << "given back";
    EXPECT_EQ(Sim.calls.front(), "timeBeginPeriod(1)");

    Sim.calls.clear();
    EXPECT_EQ(ViewerMain(), 1);
    EXPECT_EQ(CallIndex("timeBeginPeriod(1)"), 0);
    EXPECT_TRUE(Sim.timerPeriods.empty());
}

TEST_F(ViewerStartStop, TakesTheGameWindowOverBeforeOpeningTheViewer) {
    const SimGame game = AttachGame();
    StartViewer();

    EXPECT_EQ(TargetGame.savedRect.left, GameRect.left);
    EXPECT_EQ(TargetGame.savedRect.bottom, GameRect.bottom);
    EXPECT_EQ(TargetGame.savedStyle, GameStyle);
    EXPECT_EQ(TargetGame.savedExStyle, GameExStyle);
    const SimWindow& w = SimWindowOf(game.window);
    EXPECT_EQ(w.style, WS_VISIBLE);
    EXPECT_EQ(w.exStyle, 0);
    EXPECT_TRUE(w.visible);

    const std::string g = Handle(game.window);
    const std::vector<long> order = {
        CallIndex("ShowWindow(" + g + ",0)"),
        CallIndex("SetWindowLongA(" + g + ",-16,268435456)"),
        CallIndex("SetWindowLongA(" + g + ",-20,0)"),
        CallIndex("ShowWindow(" + g + ",5)"),
        CallIndex("OpenSurface(640,480,32,68)"),
        CallIndex("HideMouse"),
        CallIndex("StartThread"),
    };
    for (std::size_t i = 0; i < order.size(); ++i) EXPECT_GE(order[i], 0) << "step " << i;
    EXPECT_TRUE(std::is_sorted(order.begin(), order.end()));

    EXPECT_EQ(TargetGame.running.load(), 1);
    EXPECT_NE(TargetGame.renderThread, nullptr);
    EXPECT_FALSE(Surface.pointerVisible);
    EXPECT_EQ(ViewerWindowHandle(TargetGame), SurfaceWindowHandle());
    EXPECT_EQ(SimWindowOf(SurfaceWindowHandle()).caption, "Demo Quest");
    EXPECT_TRUE(Sim.keyEvents.empty());
    StopViewer();
    EXPECT_EQ(ViewerWindowHandle(TargetGame), game.window);
}

TEST_F(ViewerStartStop, StopGivesTheGameItsPlacementAndStylesBackOnce) {
    const SimGame game = AttachGame();
    StartViewer();
    MoveWindow(game.window, 30000, 30000, 646, 509, FALSE); // parked by the render thread
    StopViewer();

    const SimWindow& w = SimWindowOf(game.window);
    ExpectGameAsBefore(w);
    EXPECT_GE(CallIndex("MoveWindow(" + Handle(game.window) + ",100,80,646,509,1)"), 0);
    EXPECT_EQ(TargetGame.running.load(), 0);
    EXPECT_EQ(TargetGame.renderThread, nullptr);
    EXPECT_FALSE(Surface.open);

    const std::size_t callsBefore = Sim.calls.size();
    StopViewer();
    EXPECT_EQ(Sim.calls.size(), callsBefore);
}

TEST_F(ViewerStartStop, OpensTheGameProcessOnceWithOnlyThePriorityRightsAndClosesIt) {
    const SimGame game = AttachGame();
    StartViewer();
    for (int i = 0; i < 5; ++i) RenderPass();
    StopViewer();

    const DWORD rights = PROCESS_SET_INFORMATION | PROCESS_QUERY_LIMITED_INFORMATION;
    EXPECT_EQ(Sim.openProcessAccess, std::vector<DWORD>{rights});
    EXPECT_GE(CallIndex("OpenProcess(" + std::to_string(rights) + "," +
                        std::to_string(game.processId) + ")"),
              0);
    const std::string gameHigh = "SetPriorityClass(" + std::to_string(game.processId) + ",128)";
    EXPECT_EQ(SimCallsStartingWith(gameHigh).size(), 5u);
    EXPECT_TRUE(Sim.openHandles.empty());
}

// F4 goes to the game only when it looks full screen: a display at most 800 wide and the
// game window's left edge left of 10.
TEST_F(ViewerStartStop, PressesF4OnlyOnANarrowDisplayWithTheGameAtTheLeftEdge) {
    struct Case {
        int screenWidth;
        LONG left;
        bool f4;
    };
    const Case cases[] = {{800, 9, true},  {801, 0, false},  {800, 10, false},
                          {640, -4, true}, {1024, 0, false}, {640, 30, false}};
    for (const Case& c : cases) {
        ResetViewer();
        Sim.screenWidth = c.screenWidth;
        AttachGame("Demo Quest", RECT{c.left, 0, c.left + 320, 240});
        Sim.onKeyEvent = [](BYTE, DWORD) { Sim.screenWidth = 1024; };
        StartViewer();
        EXPECT_EQ(!Sim.keyEvents.empty(), c.f4) << c.screenWidth << " " << c.left;
        StopViewer();
    }
}

TEST_F(ViewerStartStop, LeavesTheGamesFullScreenBeforeStrippingItsFrame) {
    Sim.screenWidth = 640;
    Sim.screenHeight = 480;
    const RECT fullscreenRect{0, 0, 640, 480};
    const SimGame game = AttachGame("Demo Quest", fullscreenRect);
    SimWindowOf(game.window).style = LONG(0x96000000);
    Sim.foreground = nullptr;
    double widenedAt = 0;
    Sim.onKeyEvent = [&](BYTE key, DWORD flags) {
        if (key != VK_F4 || !(flags & KEYEVENTF_KEYUP)) return;
        SimAfter(300, [&] {
            // The game returns to windowed mode: the display widens and its window moves.
            Sim.screenWidth = 1024;
            Sim.screenHeight = 768;
            SimWindowOf(game.window).rect = GameRect;
            SimWindowOf(game.window).style = GameStyle;
            widenedAt = Sim.clockMs;
        });
    };
    StartViewer();

    ASSERT_EQ(Sim.keyEvents.size(), 2u);
    EXPECT_EQ(Sim.keyEvents[0].key, VK_F4);
    EXPECT_EQ(Sim.keyEvents[0].flags, 0u);
    EXPECT_EQ(Sim.keyEvents[1].flags, KEYEVENTF_KEYUP);
    EXPECT_DOUBLE_EQ(Sim.keyEvents[1].timeMs - Sim.keyEvents[0].timeMs, 50.0);
    EXPECT_LT(CallIndex("SetForegroundWindow(" + Handle(game.window) + ")"),
              CallIndex("keybd_event"));
    // The rectangle from before F4; the styles from after it.
    EXPECT_EQ(TargetGame.savedRect.right, fullscreenRect.right);
    EXPECT_EQ(TargetGame.savedRect.left, 0);
    EXPECT_EQ(TargetGame.savedStyle, GameStyle);
    // The display is polled every 10 ms, then 500 ms pass before the frame goes.
    const long strip = CallIndex("SetWindowLongA(");
    const long settle = CallIndex("SleepEx(500)");
    ASSERT_GE(settle, 0);
    EXPECT_LT(settle, strip);
    ASSERT_GT(widenedAt, 0.0);
    EXPECT_GE(Sim.clockMs - widenedAt, 500.0);
    EXPECT_LE(Sim.clockMs - widenedAt, 510.0);
    StopViewer();
}

TEST_F(ViewerStartStop, GivesUpWaitingForTheDisplayAfterFiveSecondsAndStartsAnyway) {
    Sim.screenWidth = 800;
    AttachGame("Demo Quest", RECT{0, 0, 646, 509});
    double startedAt = Sim.clockMs, releasedAt = 0;
    Sim.onKeyEvent = [&](BYTE, DWORD flags) {
        if (flags & KEYEVENTF_KEYUP) releasedAt = Sim.clockMs;
    };
    StartViewer();
    ASSERT_GT(releasedAt, startedAt);
    const double waited = Sim.clockMs - releasedAt;
    EXPECT_GE(waited, 5000.0 + 500.0);
    EXPECT_LE(waited, 5000.0 + 10.0 + 500.0);
    EXPECT_EQ(TargetGame.running.load(), 1);
    EXPECT_NE(SurfaceWindowHandle(), nullptr);
    EXPECT_EQ(TargetGame.savedStyle, GameStyle);
    StopViewer();
}

} // namespace

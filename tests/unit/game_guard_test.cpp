// The guard that gives the game back when the viewer ends without its ordinary stop: its
// private argument, and what it does after a killed viewer, an ordinary stop and a gone game.
#include "game/fullscreen.h"
#include "game/game_guard.h"
#include "lifecycle_fixture.h"

#include <gtest/gtest.h>

namespace {

class GameGuard : public ::testing::Test {
  protected:
    void SetUp() override { ResetViewer(); }
    void TearDown() override { ResetViewer(); }

    DWORD guardId = 0;

    // Starts the viewer on the game as the main entry does; returns the guard's command line.
    std::string StartViewerWithGuard() {
        StartViewer();
        EXPECT_EQ(Sim.processStarts.size(), 1u);
        if (Sim.processStarts.empty()) return "";
        EXPECT_TRUE(Sim.processStarts[0].inheritHandles);
        guardId = Sim.nextProcessId - 1;
        const SimProcess& guard = Sim.processes.at(guardId);
        EXPECT_EQ(guard.applicationName, Sim.modulePath);
        return guard.commandLine;
    }
};

std::string Replaced(std::string line, const std::string& from, const std::string& to) {
    const std::size_t at = line.find(from);
    return at == std::string::npos ? "" : line.replace(at, from.size(), to);
}

TEST_F(GameGuard, ArgumentReadsBackExactlyAndRefusesAnythingElse) {
    GuardOrders orders;
    orders.gameWindow = reinterpret_cast<HWND>(std::uintptr_t(0x1A2B3C));
    orders.rect = RECT{-1200, -8, 333, 4444};
    orders.style = LONG(0x94CA0000);
    orders.exStyle = 0x40100;
    orders.priority = ABOVE_NORMAL_PRIORITY_CLASS;
    orders.screenSaver = 1;
    orders.viewer = reinterpret_cast<HANDLE>(std::uintptr_t(0x2C8));
    orders.done = reinterpret_cast<HANDLE>(std::uintptr_t(0x2CC));
    const std::string line = FormatGuardCommandLine("C:\\My Games\\lumenpane.exe", orders);
    ASSERT_TRUE(IsGuardCommandLine(line.c_str()));

    GuardOrders read;
    ASSERT_TRUE(ParseGuardCommandLine(line.c_str(), read)) << line;
    EXPECT_EQ(read.gameWindow, orders.gameWindow);
    EXPECT_EQ(read.rect.left, -1200);
    EXPECT_EQ(read.rect.top, -8);
    EXPECT_EQ(read.rect.right, 333);
    EXPECT_EQ(read.rect.bottom, 4444);
    EXPECT_EQ(read.style, orders.style);
    EXPECT_EQ(read.exStyle, orders.exStyle);
    EXPECT_EQ(read.priority, orders.priority);
    EXPECT_EQ(read.screenSaver, 1);
    EXPECT_EQ(read.viewer, orders.viewer);
    EXPECT_EQ(read.done, orders.done);

    const std::string hostile[] = {
        Replaced(line, " 716", ""),                     // a field missing
        line + " 1",                                    // one too many
        Replaced(line, " 333 ", " 33x "),               // not a number
        Replaced(line, " 333 ", " +333 "),              // a sign where none is written
        Replaced(line, " -8 ", " 4445 "),               // empty rectangle (top below bottom)
        Replaced(line, " -1200 ", " -9999999 "),        // beyond any screen
        Replaced(line, " 2496266240 ", " 4294967296 "), // style beyond 32 bits
        Replaced(line, " 1715004 ", " 99999999999999999999999 "), // window handle overflow
        Replaced(line, " 32768 ", " 256 "),       // realtime: never set by the guard
        Replaced(line, " 32768 ", " 7 "),         // no priority class
        Replaced(line, " 32768 1 ", " 32768 2 "), // screen saver is 0 or 1
        Replaced(line, " 712 ", " 0 "),           // no viewer handle
        Replaced(line, " 712 ", " 716 "),         // the same handle twice
        Replaced(line, "\"C:", "C:"),             // the program name's quote unmatched
    };
    for (const std::string& bad : hostile) {
        ASSERT_FALSE(bad.empty());
        GuardOrders untouched;
        untouched.priority = 12345;
        EXPECT_FALSE(ParseGuardCommandLine(bad.c_str(), untouched)) << bad;
        EXPECT_EQ(untouched.priority, 12345u) << bad;
    }
    EXPECT_FALSE(IsGuardCommandLine("\"C:\\Games\\lumenpane.exe\""));
    EXPECT_FALSE(IsGuardCommandLine("lumenpane.exe x --lumenpane-guard"));

    // A refused argument ends the guard before it touches anything.
    const std::string refused = Replaced(line, " 712 ", " 0 ");
    ASSERT_TRUE(IsGuardCommandLine(refused.c_str()));
    EXPECT_EQ(GuardMain(refused.c_str()), 1);
    EXPECT_TRUE(Sim.calls.empty());
}

// Killed in full screen or while minimised (the game hidden and idle), the viewer leaves the
// game parked and frameless; the guard puts it back as it was before the viewer started.
TEST_F(GameGuard, KilledViewerGetsTheGameBackFramedShownAtItsPriorityWithTheScreenSaver) {
    for (const bool minimised : {false, true}) {
        ResetViewer();
        const SimGame game = AttachGame();
        Sim.processes.at(game.processId).priorityClass = ABOVE_NORMAL_PRIORITY_CLASS;
        const std::string guardLine = StartViewerWithGuard();
        SetViewerFullscreen(1);
        if (minimised) SimWindowOf(SurfaceWindowHandle()).minimised = true;
        RenderPass();
        const SimWindow& w = SimWindowOf(game.window);
        ASSERT_EQ(w.rect.left, 30000);
        ASSERT_EQ(w.visible, !minimised);
        ASSERT_NE(Sim.processes.at(game.processId).priorityClass, ABOVE_NORMAL_PRIORITY_CLASS);
        ASSERT_FALSE(Sim.screenSaverActive);

        const double killedAt = Sim.clockMs + 40;
        SimAt(killedAt, [] { SimEndProcess(Sim.currentProcessId, 1); });
        SimAdoptInheritedHandles(guardId);
        Sim.calls.clear();
        EXPECT_EQ(GuardMain(guardLine.c_str()), 0);
        EXPECT_EQ(Sim.clockMs, killedAt) << "the guard acts when the viewer has ended";
        // An idle game would answer the window calls late: its priority comes back first.
        EXPECT_LT(CallIndex("SetPriorityClass"), CallIndex("MoveWindow"));
        ExpectGameAsBefore(w);
        EXPECT_EQ(Sim.foreground, game.window);
        EXPECT_EQ(Sim.processes.at(game.processId).priorityClass, ABOVE_NORMAL_PRIORITY_CLASS);
        EXPECT_TRUE(Sim.screenSaverActive);
    }
}

TEST_F(GameGuard, AfterAnOrdinaryStopOrOnceTheGameHasGoneTheGuardEndsWithoutActing) {
    const SimGame game = AttachGame();
    std::string guardLine = StartViewerWithGuard();
    RenderPass();
    StopViewer();
    EXPECT_TRUE(Sim.openHandles.empty()) << "no handle of the viewer is left open";
    EXPECT_TRUE(Sim.events.empty());
    // Later the player changes the game and the screen saver; the viewer's process ends.
    SimWindowOf(game.window).rect = RECT{5, 5, 651, 514};
    SimWindowOf(game.window).style = LONG(0x94000000);
    Sim.processes.at(game.processId).priorityClass = IDLE_PRIORITY_CLASS;
    Sim.screenSaverActive = false;
    Sim.foreground = nullptr;
    SimEndProcess(Sim.currentProcessId, 0);
    SimAdoptInheritedHandles(guardId);
    EXPECT_EQ(GuardMain(guardLine.c_str()), 0);
    EXPECT_EQ(SimWindowOf(game.window).rect.left, 5);
    EXPECT_EQ(SimWindowOf(game.window).style, LONG(0x94000000));
    EXPECT_EQ(Sim.processes.at(game.processId).priorityClass, IDLE_PRIORITY_CLASS);
    EXPECT_FALSE(Sim.screenSaverActive);
    EXPECT_EQ(Sim.foreground, nullptr);

    // The game ends while the viewer still runs: the guard ends with it, not with the viewer.
    ResetViewer();
    const SimGame second = AttachGame();
    guardLine = StartViewerWithGuard();
    RenderPass();
    SimAdoptInheritedHandles(guardId);
    const double gameEndsAt = Sim.clockMs + 30;
    SimAt(gameEndsAt, [&] { SimEndProcess(second.processId); });
    SimAt(gameEndsAt + 60000, [] { SimEndProcess(Sim.currentProcessId); });
    EXPECT_EQ(GuardMain(guardLine.c_str()), 0);
    EXPECT_EQ(Sim.clockMs, gameEndsAt);
}

TEST_F(GameGuard, NoGuardForAGameInTheViewersOwnProcess) {
    const SimGame game = AttachGame();
    Sim.processes[Sim.currentProcessId].priorityClass = NORMAL_PRIORITY_CLASS;
    TargetGame.processId = Sim.currentProcessId;
    StartViewer();
    EXPECT_TRUE(Sim.processStarts.empty());
    StopViewer();
    EXPECT_EQ(SimWindowOf(game.window).rect.left, GameRect.left);
}

} // namespace

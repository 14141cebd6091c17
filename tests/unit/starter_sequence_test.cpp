// The start sequence against the simulated desktop: what is started with which command
// line, every way it ends, its waits and pauses on the simulated clock, and the F8 presses.
#include "platform/game_contract.h"
#include "sim_desktop.h"
#include "starter/starter.h"
#include "temp_folder.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <string>

namespace {

constexpr double kGiveUpMs = 10 * 60 * 1000;

// The starter lies in a real temporary folder of its own so that it can read a real
// configuration file; natively a backslash is an ordinary file name character, so
// "<folder>\name" is a file inside that folder.
struct StarterSequence : ::testing::Test {
    TempFolder temp{"lmp-starter"};
    std::string folder = temp / "game";
    std::string gamePath = folder + "\\rpg_rt.exe";
    std::string viewerPath = folder + "\\lumenpane.exe";
    std::string configPath = folder + "\\lmp_game_starter.cfg";

    // How the simulated game and viewer behave.
    bool gameStarts = true, viewerStarts = true;
    double gameWindowAfterMs = 35;   // -1: never opens a window
    double viewerWindowAfterMs = 25; // -1: never opens a window
    std::string gameTitle = "Dragon Tale";
    DWORD gameId = 0, viewerId = 0;
    double startTime = 0, gameWindowTime = 0, viewerStartTime = 0, viewerWindowTime = 0;

    void SetUp() override {
        ResetSim();
        startTime = Sim.clockMs;
        Sim.modulePath = folder + "\\lmp_game_starter.exe";
        Sim.commandLine = "\"" + Sim.modulePath + "\"";
        Sim.onCreateProcess = [this](const std::string& application, const std::string&, DWORD id) {
            if (application == gamePath) return gameStarts && StartGame(id);
            if (application == viewerPath) return viewerStarts && StartViewer(id);
            return false;
        };
        // A starter that would wait forever fails the test instead of hanging it.
        SimAfter(kGiveUpMs, [this] {
            for (DWORD id : {gameId, viewerId})
                if (Sim.processes.count(id)) SimEndProcess(id);
        });
    }

    bool StartGame(DWORD id) {
        gameId = id;
        if (gameWindowAfterMs >= 0)
            SimAfter(gameWindowAfterMs, [this] {
                gameWindowTime = Sim.clockMs;
                SimAddWindow(GameWindowClass, gameTitle, RECT{0, 0, 326, 246}, gameId);
            });
        return true;
    }

    // The viewer reads the game's title into a 100-byte buffer and names its window after
    // it; without a title its caption is its program name.
    bool StartViewer(DWORD id) {
        viewerId = id;
        viewerStartTime = Sim.clockMs;
        if (viewerWindowAfterMs >= 0)
            SimAfter(viewerWindowAfterMs, [this] {
                char title[100] = {};
                GetWindowTextA(FindWindowA(GameWindowClass, nullptr), title, 100);
                viewerWindowTime = Sim.clockMs;
                SimAddWindow(std::string(ViewerWindowClassPrefix) + title,
                             *title ? title : "lumenpane", RECT{0, 0, 646, 506}, viewerId);
            });
        return true;
    }

    void WriteConfig(const std::string& text) {
        std::FILE* file = std::fopen(configPath.c_str(), "wb");
        std::fwrite(text.data(), 1, text.size(), file);
        std::fclose(file);
    }

    void ExpectOnlyMessage(const std::string& text, UINT icon) {
        ASSERT_EQ(Sim.messageBoxes.size(), 1u);
        EXPECT_EQ(Sim.messageBoxes[0].text, text);
        EXPECT_EQ(Sim.messageBoxes[0].caption, "Orvalle's LMP Game Starter");
        EXPECT_EQ(Sim.messageBoxes[0].type, MB_OK | icon);
        EXPECT_EQ(SimCallsStartingWith("MessageBoxA(")[0],
                  "MessageBoxA(" + SimHandleText(nullptr) + ")"); // no owner window
    }
    bool Running(DWORD id) { return Sim.processes.at(id).exitCode == STILL_ACTIVE; }
    std::size_t Presses() { return SimCallsStartingWith("keybd_event(119,0,0)").size(); }
    std::size_t Starts() { return SimCallsStartingWith("CreateProcessA(").size(); }
};

} // namespace

TEST_F(StarterSequence, GameCommandLineForZeroToFiveArguments) {
    const struct {
        const char* arguments;
        const char* gameArguments;
    } cases[] = {
        {"", "NormalPlay ShowTitle Window"},
        {" \"\"", "NormalPlay ShowTitle Window"},
        {" TestPlay", "TestPlay  Window "},
        {" TestPlay HideTitle", "TestPlay HideTitle Window "},
        {" TestPlay HideTitle FullScreen", "TestPlay HideTitle Window "},
        {" 1 2 3 4", "1 2 Window 4"},
        {" 1 2 3 4 5", "1 2 Window 4"},
        {" \"Save One\" \"a\\\"b\" x \"D:\\My Saves\\\\\"", "Save One a\"b Window D:\\My Saves\\"},
    };
    for (const auto& c : cases) {
        SetUp();
        gameWindowAfterMs = -1;
        Sim.commandLine += c.arguments;
        SimAfter(50, [this] { SimEndProcess(gameId); });
        EXPECT_EQ(StarterMain(), kExitDone);
        ASSERT_EQ(Sim.processStarts.size(), 1u);
        EXPECT_EQ(Sim.processes.at(gameId).applicationName, gamePath);
        EXPECT_EQ(Sim.processes.at(gameId).commandLine, "\"" + gamePath + "\" " + c.gameArguments)
            << c.arguments;
    }
}

TEST_F(StarterSequence, ProcessesStartWithDefaultSettingsAndTheViewerWithoutArguments) {
    gameWindowAfterMs = 0;
    EXPECT_EQ(StarterMain(), kExitDone);
    ASSERT_EQ(Sim.processStarts.size(), 2u);
    for (const SimProcessStart& start : Sim.processStarts) {
        EXPECT_FALSE(start.processAttributes || start.threadAttributes || start.inheritHandles);
        EXPECT_EQ(start.creationFlags, 0u);
        EXPECT_FALSE(start.environment || start.currentDirectory);
        EXPECT_EQ(start.startupSize, sizeof(STARTUPINFOA));
        EXPECT_TRUE(start.startupBlank);
    }
    EXPECT_EQ(Sim.processes.at(viewerId).applicationName, viewerPath);
    EXPECT_EQ(Sim.processes.at(viewerId).commandLine, viewerPath);
}

TEST_F(StarterSequence, PathsComeFromTheFolderEvenWithoutABackslash) {
    Sim.modulePath = "lmp_game_starter.exe";
    gamePath = "\\rpg_rt.exe";
    gameStarts = false;
    EXPECT_EQ(StarterMain(), kExitGameStartFailed);
    EXPECT_EQ(SimCallsStartingWith("CreateProcessA(")[0],
              "CreateProcessA(\\rpg_rt.exe|\"\\rpg_rt.exe\" NormalPlay ShowTitle Window)");
}

// Exit 0 and two presses: the game, the viewer and the configuration were all found.
TEST_F(StarterSequence, AJapaneseFolderDeeperThan260CharactersReachesEveryPathWhole) {
    folder = temp / "\xE3\x82\xB2\xE3\x83\xBC\xE3\x83\xA0"; // ゲーム
    for (int i = 0; i < 80; ++i) folder += "/\xE3\x83\x95\xE3\x82\xA9" + std::to_string(i);
    std::filesystem::create_directories(folder);
    gamePath = folder + "\\rpg_rt.exe", viewerPath = folder + "\\lumenpane.exe";
    configPath = folder + "\\lmp_game_starter.cfg";
    SetUp();
    WriteConfig("2");
    EXPECT_EQ(StarterMain(), kExitDone);
    EXPECT_EQ(Sim.processes.at(gameId).commandLine,
              "\"" + gamePath + "\" NormalPlay ShowTitle Window");
    EXPECT_EQ(Presses(), 2u);
}

TEST_F(StarterSequence, RunningGameGivesWarningAndStartsNothing) {
    SimAddWindow(GameWindowClass, "Other Game", RECT{0, 0, 326, 246});
    EXPECT_EQ(StarterMain(), kExitGameAlreadyRunning);
    ExpectOnlyMessage("Please close all other RM2k(3) games first.", MB_ICONEXCLAMATION);
    EXPECT_EQ(SimCallsStartingWith("MessageBoxA(")[0],
              "MessageBoxA(" + SimHandleText(nullptr) + ")");
    EXPECT_EQ(Starts(), 0u);
}

TEST_F(StarterSequence, FailedGameStartIsReportedWithExitOne) {
    gameStarts = false;
    EXPECT_EQ(StarterMain(), kExitGameStartFailed);
    ExpectOnlyMessage("Starting the game failed!", MB_ICONHAND);
    EXPECT_EQ(Starts(), 1u);
}

TEST_F(StarterSequence, FailedViewerStartIsReportedWithExitThreeAndTheGameRunsOn) {
    viewerStarts = false;
    EXPECT_EQ(StarterMain(), kExitViewerStartFailed);
    ExpectOnlyMessage("Starting LMP failed!", MB_ICONHAND);
    EXPECT_EQ(Starts(), 2u);
    EXPECT_TRUE(Running(gameId));
}

TEST_F(StarterSequence, GameEndingBeforeItsWindowEndsQuietlyWithoutTheViewer) {
    gameWindowAfterMs = -1;
    SimAfter(95, [this] { SimEndProcess(gameId); });
    EXPECT_EQ(StarterMain(), kExitDone);
    EXPECT_EQ(Starts(), 1u);
    EXPECT_TRUE(Sim.messageBoxes.empty());
    // Polled every 10 ms: the end at 95 ms is seen at 100 ms.
    EXPECT_EQ(Sim.clockMs - startTime, 100);
    EXPECT_EQ(SimCallsStartingWith("SleepEx(10)").size(), 10u);
}

TEST_F(StarterSequence, GameOrViewerEndingBeforeTheViewerWindowEndsQuietly) {
    for (const bool gameEnds : {true, false}) {
        SetUp();
        viewerWindowAfterMs = -1;
        WriteConfig("2");
        SimAfter(1000, [this, gameEnds] { SimEndProcess(gameEnds ? gameId : viewerId); });
        EXPECT_EQ(StarterMain(), kExitDone);
        EXPECT_EQ(Sim.clockMs - startTime, 1000);
        EXPECT_EQ(Presses(), 0u);
        EXPECT_TRUE(Sim.messageBoxes.empty());
        EXPECT_EQ(Running(gameId), !gameEnds);
    }
}

TEST_F(StarterSequence, UnreadableExitCodeCountsAsRunning) {
    WriteConfig("1");
    SimAfter(20, [this] { Sim.processes.erase(gameId); });
    EXPECT_EQ(StarterMain(), kExitDone);
    EXPECT_EQ(Presses(), 1u);
}

TEST_F(StarterSequence, PausesAndPressesFollowTheTimeline) {
    WriteConfig("2\r\n");
    EXPECT_EQ(StarterMain(), kExitDone);
    // Game window at 35 ms, seen at 40 ms; viewer started 150 ms later.
    EXPECT_EQ(gameWindowTime - startTime, 35);
    EXPECT_EQ(viewerStartTime - startTime, 190);
    // Viewer window at 215 ms, seen at 220 ms; first press 500 ms later.
    EXPECT_EQ(viewerWindowTime - startTime, 215);
    const std::vector<std::pair<DWORD, double>> expected = {
        {0, 720}, {KEYEVENTF_KEYUP, 820}, {0, 920}, {KEYEVENTF_KEYUP, 1020}};
    ASSERT_EQ(Sim.keyEvents.size(), expected.size());
    for (std::size_t k = 0; k < expected.size(); ++k) {
        EXPECT_EQ(Sim.keyEvents[k].key, VK_F8);
        EXPECT_EQ(Sim.keyEvents[k].flags, expected[k].first);
        EXPECT_EQ(Sim.keyEvents[k].timeMs - startTime, expected[k].second);
    }
    EXPECT_EQ(Sim.clockMs - startTime, 1120);
    EXPECT_EQ(SimCallsStartingWith("keybd_event(119,0,2)").size(), 2u);
}

TEST_F(StarterSequence, PressCountComesFromTheConfiguration) {
    const struct {
        const char* text; // null: no file
        std::size_t presses;
    } cases[] = {{nullptr, 0}, {"", 0},        {"0", 0},     {"-1", 0},         {"abc", 0},
                 {"1", 1},     {"2.5", 2},     {"&H3", 3},   {"4", 1},          {"\t3.5,1", 1},
                 {"6", 3},     {"1000000", 1}, {"1e999", 1}, {"2147483646", 3}, {"-2147483648", 0}};
    for (const auto& c : cases) {
        SetUp();
        if (c.text) WriteConfig(c.text);
        EXPECT_EQ(StarterMain(), kExitDone);
        EXPECT_EQ(Presses(), c.presses) << (c.text ? c.text : "(no file)");
        EXPECT_EQ(SimCallsStartingWith("keybd_event(119,0,2)").size(), c.presses);
    }
}

TEST_F(StarterSequence, FindsTheViewerUnderAGameTitleLongerThanNinetyNineCharacters) {
    gameTitle = std::string(150, 'T');
    WriteConfig("1");
    EXPECT_EQ(StarterMain(), kExitDone);
    EXPECT_EQ(Presses(), 1u);
}

TEST_F(StarterSequence, FindsTheViewerByClassAloneWhenTheGameHasNoTitle) {
    gameTitle = "";
    WriteConfig("1");
    EXPECT_EQ(StarterMain(), kExitDone);
    EXPECT_EQ(Presses(), 1u);
}

TEST_F(StarterSequence, StopsPressingWhenTheGameOrTheViewerEnds) {
    for (const bool gameEnds : {true, false}) {
        SetUp();
        WriteConfig("3");
        // The first press comes at 720 ms; the process ends during the second press.
        SimAt(startTime + 950, [this, gameEnds] { SimEndProcess(gameEnds ? gameId : viewerId); });
        EXPECT_EQ(StarterMain(), kExitDone);
        EXPECT_EQ(Presses(), 2u);
        EXPECT_EQ(SimCallsStartingWith("keybd_event(119,0,2)").size(), 2u);
        EXPECT_EQ(Sim.clockMs - startTime, 1120);
    }
}

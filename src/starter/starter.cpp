// The start sequence: check that no game runs, start the game, wait for its window, start
// the viewer, wait for the viewer's window, press F8 to select the configured filter.
//
// Every wait polls every 10 ms and ends with the process it depends on, so the starter
// never outlives a game or viewer that has gone. The viewer's window is looked up by the
// game title exactly as the viewer itself reads it (a 100-byte buffer, so at most 99
// characters), and before each F8 press both processes must still run.
#include "starter/starter.h"

#include "platform/game_contract.h"
#include "platform/program_files.h"
#include "platform/win32.h"
#include "starter/command_line.h"
#include "starter/config_reader.h"
#include "starter/filter_count.h"

#include <string>

namespace {

const char kMessageTitle[] = "Orvalle's LMP Game Starter";
const char kGameAlreadyRunning[] = "Please close all other RM2k(3) games first.";
const char kGameStartFailed[] = "Starting the game failed!";
const char kViewerStartFailed[] = "Starting LMP failed!";

constexpr DWORD kPollMs = 10;
constexpr DWORD kAfterGameWindowMs = 150;
constexpr DWORD kAfterViewerWindowMs = 500;
constexpr DWORD kKeyDownMs = 100;
constexpr DWORD kKeyUpMs = 100;

struct StarterPaths {
    std::string game;
    std::string viewer;
    std::string config;
    std::string settings; // lumenpane.ini, for the viewer's filter cycle
};

// Paths beside the starter's own executable, in the folder's own spelling and at any length.
StarterPaths BuildPaths() {
    std::string folder = ProgramPath();
    const std::size_t cut = folder.rfind('\\');
    folder = cut == std::string::npos ? "" : folder.substr(0, cut);
    return StarterPaths{folder + "\\rpg_rt.exe", folder + "\\lumenpane.exe",
                        folder + "\\lmp_game_starter.cfg", folder + "\\lumenpane.ini"};
}

int ShowMessage(const char* text, UINT icon, int exitCode) {
    MessageBoxA(nullptr, text, kMessageTitle, MB_OK | icon);
    return exitCode;
}

// A process whose exit code cannot be read counts as running.
bool StillRuns(HANDLE process) {
    DWORD exitCode = STILL_ACTIVE;
    if (!GetExitCodeProcess(process, &exitCode)) return true;
    return exitCode == STILL_ACTIVE;
}

// Polls until the game's window exists; null when the game ended first.
HWND WaitForGameWindow(HANDLE game) {
    for (;;) {
        SleepEx(kPollMs, FALSE);
        if (!StillRuns(game)) return nullptr;
        if (HWND window = FindWindowA(GameWindowClass, nullptr)) return window;
    }
}

std::string ReadTitleAsViewerDoes(HWND gameWindow) {
    char title[TitleBufferSize] = {};
    GetWindowTextA(gameWindow, title, TitleBufferSize);
    return std::string(title);
}

// Polls until the viewer's window exists; false when the game or the viewer ended first.
// The viewer names its window class after the title and captions it with the title; an
// empty title leaves the caption to the viewer, so then the class alone identifies it.
bool WaitForViewerWindow(HANDLE game, HANDLE viewer, const std::string& title) {
    const std::string viewerClass = ViewerWindowClassPrefix + title;
    const char* caption = title.empty() ? nullptr : title.c_str();
    for (;;) {
        SleepEx(kPollMs, FALSE);
        if (!StillRuns(game) || !StillRuns(viewer)) return false;
        if (FindWindowA(viewerClass.c_str(), caption)) return true;
    }
}

void PressF8(int presses, HANDLE game, HANDLE viewer) {
    for (int press = 0; press < presses; ++press) {
        if (!StillRuns(game) || !StillRuns(viewer)) return;
        keybd_event(VK_F8, 0, 0, 0);
        SleepEx(kKeyDownMs, FALSE);
        keybd_event(VK_F8, 0, KEYEVENTF_KEYUP, 0);
        SleepEx(kKeyUpMs, FALSE);
    }
}

} // namespace

int StarterMain() {
    const StarterPaths paths = BuildPaths();
    if (FindWindowA(GameWindowClass, nullptr))
        return ShowMessage(kGameAlreadyRunning, MB_ICONEXCLAMATION, kExitGameAlreadyRunning);

    const std::string arguments = GameArgumentText(SplitCommandLine(ProgramCommandLine()));
    PROCESS_INFORMATION game;
    if (!StartProgram(paths.game, "\"" + paths.game + "\" " + arguments, FALSE, &game))
        return ShowMessage(kGameStartFailed, MB_ICONHAND, kExitGameStartFailed);
    const HWND gameWindow = WaitForGameWindow(game.hProcess);
    if (!gameWindow) return kExitDone;
    SleepEx(kAfterGameWindowMs, FALSE);
    const std::string title = ReadTitleAsViewerDoes(gameWindow);

    PROCESS_INFORMATION viewer;
    if (!StartProgram(paths.viewer, paths.viewer, FALSE, &viewer))
        return ShowMessage(kViewerStartFailed, MB_ICONHAND, kExitViewerStartFailed);
    if (!WaitForViewerWindow(game.hProcess, viewer.hProcess, title)) return kExitDone;
    SleepEx(kAfterViewerWindowMs, FALSE);

    PressF8(PressesForCount(ReadPressCount(paths.config), ReadCycleLength(paths.settings)),
            game.hProcess, viewer.hProcess);
    return kExitDone;
}

// The viewer's main thread: find the game, take its window over, open the viewer window,
// start the render thread, wait for the game window to go, then give the window back.
#include "frame/screenshots.h"
#include "game/fullscreen.h"
#include "game/game_guard.h"
#include "game/target_game.h"
#include "game/timer_exemption.h"
#include "pixels/hq2x.h"
#include "platform/game_contract.h"
#include "platform/win32.h"
#include "program/settings.h"
#include "program/timer_period.h"
#include "program/viewer.h"
#include "runtime/viewer_log.h"
#include "window/framed_placement.h"
#include "window/surface.h"

namespace {

constexpr const char* UsageCaption = "Lumenpane";
constexpr const char* UsageText = "Lumenpane v1.10 Alpha\r\n"
                                  "\r\n"
                                  "Created by Orvalle\r\n"
                                  "https://orvalle.example/lumenpane\r\n"
                                  "Start RPG Maker game first, then start Lumenpane.\r\n"
                                  "\r\n"
                                  "F6: Toggle Fullscreen/Window\r\n"
                                  "F7: Show/Hide FPS\r\n"
                                  "F8: Set filter (Off -> Scale2x -> hq2x)";
constexpr const char* TablesFailedText =
    "Lumenpane could not reserve memory for its filter tables and cannot start.";

constexpr int PollIntervalMs = 50;
constexpr int FullscreenDelayMs = 1000;

// The game counts as being in its own full-screen mode on a display this narrow or less...
constexpr int FullscreenDisplayMaxWidth = 800;
// ...while its window's left edge is left of this.
constexpr LONG FullscreenLeftEdgeLimit = 10;
constexpr DWORD F4PressMs = 50;
constexpr int DisplayPollMs = 10;
// How long the display may take to widen after F4. When it has not widened by then, the
// start-up goes on with the game window as it is: a game that was windowed at the left edge
// of a small desktop never widens it.
constexpr double DisplayWidenLimitSeconds = 5.0;
constexpr DWORD DisplaySettleMs = 500;

constexpr int SurfaceDepth = 32;
constexpr int SurfacePages = 1;

void ReadGameTitle() {
    char buffer[TitleBufferSize] = {};
    GetWindowTextA(TargetGame.gameWindow, buffer, TitleBufferSize);
    buffer[TitleBufferSize - 1] = '\0';
    TargetGame.title = buffer;
}

bool GameLooksFullscreen() {
    return GetSystemMetrics(SM_CXSCREEN) <= FullscreenDisplayMaxWidth &&
           TargetGame.savedRect.left < FullscreenLeftEdgeLimit;
}

// Press F4 for the game, which switches it back to windowed mode, and wait (bounded) for
// the display to widen again.
void LeaveGameFullscreen() {
    SetForegroundWindow(TargetGame.gameWindow);
    PressKeyForGame(VK_F4, F4PressMs);
    const double start = Timer();
    do {
        SleepMs(DisplayPollMs);
    } while (GetSystemMetrics(SM_CXSCREEN) <= FullscreenDisplayMaxWidth &&
             Timer() - start < DisplayWidenLimitSeconds);
    SleepEx(DisplaySettleMs, FALSE);
}

// The parked game and the viewer keep their speed and the fine timer they ask for while their
// windows are hidden, off-screen or behind (timer_exemption.h), each exemption asked for on
// its own where Windows throttles so; one line names what Windows refused. Older Windows (and
// Wine) do not throttle so and are not asked.
void ExemptFromThrottling() {
    std::string refused;
    const auto note = [&refused](bool gameExempt, bool viewerExempt, const char* what) {
        if (!gameExempt || !viewerExempt)
            refused += std::string(refused.empty() ? "" : ", ") + what;
    };
    if (SpeedThrottlingExists()) {
        GameProcess.speedExempt = SetSpeedExemption(GameProcess.handle);
        note(GameProcess.speedExempt, SetSpeedExemption(GetCurrentProcess()), "execution speed");
    }
    if (TimerThrottlingExists()) {
        GameProcess.timerExempt = SetTimerExemption(GameProcess.handle, true);
        note(GameProcess.timerExempt, SetTimerExemption(GetCurrentProcess(), true),
             "timer resolution");
    }
    if (!refused.empty())
        AppendViewerLog(("power throttling: Windows did not exempt the game and the viewer from "
                         "its throttling of " +
                         refused + " (SetProcessInformation missing or refused)")
                            .c_str());
}

} // namespace

void StartViewer() {
    SetSurfaceTitle(TargetGame.title.c_str());
    GetWindowRect(TargetGame.gameWindow, &TargetGame.savedRect);
    if (GameLooksFullscreen()) LeaveGameFullscreen();
    // Read access too: the guard needs the game's priority class before anything changes it.
    GameProcess.handle = OpenProcess(PROCESS_SET_INFORMATION | PROCESS_QUERY_LIMITED_INFORMATION,
                                     FALSE, TargetGame.processId);
    ExemptFromThrottling();
    StripGameFrame();
    StartGameGuard();
    PlanFramedWindowHome();
    OpenSurface(TargetGame.wantedWidth, TargetGame.wantedHeight, SurfaceDepth, SurfacePages,
                NoModeSwitch | AlphaPrimitives, 0);
    const std::string beyond = WindowBeyondWorkAreaLine(FramedMultiple(), FramedMultipleOpened());
    if (!beyond.empty()) AppendViewerLog(beyond.c_str());
    HideMouse();
    StartScreenshots();
    TargetGame.running = 1;
    TargetGame.renderThread = StartThread(RenderThread, nullptr, 0);
}

void StopViewer() {
    if (TargetGame.running.load() != 1) return;
    TargetGame.running = 0;
    WaitThread(TargetGame.renderThread);
    TargetGame.renderThread = nullptr;
    StopScreenshots(); // what is queued is saved first
    CloseSurface();
    // One call gives every throttling choice back to Windows.
    if (GameProcess.timerExempt || GameProcess.speedExempt)
        SetTimerExemption(GameProcess.handle, false);
    GameProcess.timerExempt = GameProcess.speedExempt = false;
    if (GameProcess.handle) CloseHandle(GameProcess.handle);
    GameProcess.handle = nullptr;
    RestoreGameWindow();
    ReleaseGameGuard();
}

// Exit codes: 0 after the game has ended, 1 after the usage message (no game running),
// 2 when the filter tables could not be allocated.
int ViewerMain() {
    const FineTimerPeriod timerPeriod; // given back on every way out
    if (!AllocateFilterTables()) {
        MessageBoxA(nullptr, TablesFailedText, UsageCaption, MB_OK | MB_ICONHAND);
        return 2;
    }
    HWND game = FindWindowA(GameWindowClass, nullptr);
    if (!game) {
        MessageBoxA(nullptr, UsageText, UsageCaption, MB_OK | MB_ICONINFORMATION);
        return 1;
    }
    TargetGame.gameWindow = game;
    GetWindowThreadProcessId(game, &TargetGame.processId);
    ReadGameTitle();

    BuildFilterTables();

    StartViewer();

    SleepMs(FullscreenDelayMs); // the viewer always starts full screen
    SetViewerFullscreen(1, MonitorUse::GameStart);

    while (IsWindow(game)) SleepMs(PollIntervalMs);
    StopViewer();
    return 0;
}

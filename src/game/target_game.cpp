// The record of the attached game and the one owner of the game's window.
#include "game/target_game.h"

#include "window/surface.h"

TargetGameRecord TargetGame;
GameProcessRecord GameProcess;

HWND ViewerWindowHandle(const TargetGameRecord& game) {
    return game.running.load() == 1 ? SurfaceWindowHandle() : game.gameWindow;
}

namespace {

constexpr UINT AsyncPlacement = SWP_ASYNCWINDOWPOS | SWP_NOACTIVATE | SWP_NOZORDER | SWP_NOREDRAW;

} // namespace

bool GameAnswers(HWND window) {
    DWORD_PTR result = 0;
    return SendMessageTimeoutA(window, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, GameAnswerLimitMs,
                               &result) != 0;
}

// The requests below are made only when the window is not where or as it should be, and only
// to a game that answers, so a hung game does not collect one in every pass.
void ParkGameWindow() {
    HWND game = TargetGame.gameWindow;
    const RECT& saved = TargetGame.savedRect;
    const int width = saved.right - saved.left, height = saved.bottom - saved.top;
    RECT now{};
    if (!GetWindowRect(game, &now)) return;
    if (now.left == ParkedX && now.top == ParkedY && now.right - now.left == width &&
        now.bottom - now.top == height)
        return;
    if (GameAnswers(game))
        SetWindowPos(game, nullptr, ParkedX, ParkedY, width, height, AsyncPlacement);
}

void ShowGameWindow(bool shown) {
    HWND game = TargetGame.gameWindow;
    if ((IsWindowVisible(game) != FALSE) == shown) return;
    if (GameAnswers(game)) ShowWindowAsync(game, shown ? SW_SHOW : SW_HIDE);
}

void KeepDisplayOn(bool on) {
    if (TargetGame.displayKeptOn == on) return;
    SetThreadExecutionState(on ? ES_CONTINUOUS | ES_DISPLAY_REQUIRED : ES_CONTINUOUS);
    TargetGame.displayKeptOn = on;
}

void PressKeyForGame(BYTE virtualKey, DWORD holdMs) {
    keybd_event(virtualKey, 0, 0, 0);
    SleepMs(int(holdMs));
    keybd_event(virtualKey, 0, KEYEVENTF_KEYUP, 0);
}

void StripGameFrame() {
    HWND game = TargetGame.gameWindow;
    TargetGame.savedStyle = GetWindowLongA(game, GWL_STYLE);
    TargetGame.savedExStyle = GetWindowLongA(game, GWL_EXSTYLE);
    ShowWindow(game, SW_HIDE);
    SetWindowLongA(game, GWL_STYLE, WS_VISIBLE);
    SetWindowLongA(game, GWL_EXSTYLE, 0);
    ShowWindow(game, SW_SHOW);
}

void RestoreGameWindow() {
    HWND game = TargetGame.gameWindow;
    const RECT& r = TargetGame.savedRect;
    MoveWindow(game, r.left, r.top, r.right - r.left, r.bottom - r.top, TRUE);
    ShowWindow(game, SW_HIDE);
    SetWindowLongA(game, GWL_STYLE, TargetGame.savedStyle);
    SetWindowLongA(game, GWL_EXSTYLE, TargetGame.savedExStyle);
    ShowWindow(game, SW_SHOW);
}

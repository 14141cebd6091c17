// The record of the attached game and the one owner of the game's window.
#include "viewer/lifecycle/target_game.h"

#include "viewer/surface/surface.h"

TargetGameRecord TargetGame;

HWND ViewerWindowHandle(const TargetGameRecord& game) {
    return game.running.load() == 1 ? SurfaceWindowHandle() : game.gameWindow;
}

void ParkGameWindow() {
    const RECT& r = TargetGame.savedRect;
    MoveWindow(TargetGame.gameWindow, ParkedX, ParkedY, r.right - r.left, r.bottom - r.top, FALSE);
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

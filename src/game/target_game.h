// The record of the attached game and the one owner of the game's window: parking it
// off-screen, pressing a key for the game, stripping its frame and giving it back.
//
// Threads. The main thread fills title, processId and gameWindow before it starts the render
// thread and writes savedRect, savedStyle, savedExStyle and renderThread only
// while no render thread runs (start-up and shutdown); the render thread only reads them.
// running is the hand-over between the two: set by the main thread after everything else is
// in place, cleared to stop the render thread. currentWidth and currentHeight belong to the
// render thread (the frame step). fullscreen is written only under the window-mode lock
// (fullscreen.cpp), by whichever thread switches; any thread may read it. wantedWidth and
// wantedHeight are set before start-up and read by the render thread. displayKeptOn belongs
// to the render thread (KeepDisplayOn).
#pragma once

#include "platform/win32.h"

#include <atomic>
#include <cstdint>
#include <string>

struct ThreadRecord;

struct TargetGameRecord {
    std::string title = "Lumenpane";
    DWORD processId = 0;
    HWND gameWindow = nullptr;
    std::atomic<std::uint8_t> running{0};
    int currentWidth = 0;
    int currentHeight = 0;
    std::atomic<std::uint8_t> fullscreen{0};
    int wantedWidth = 640;
    int wantedHeight = 480;
    ThreadRecord* renderThread = nullptr;
    RECT savedRect{};
    LONG savedStyle = 0;
    LONG savedExStyle = 0;
    bool displayKeptOn = false;
};

extern TargetGameRecord TargetGame;

// The game process, opened once by the start-up with only the rights to read and change its
// priority class and its power throttling, and closed by the shutdown; timerExempt and
// speedExempt: the start-up exempted it from timer-resolution and from execution-speed
// throttling (timer_exemption.h). Threads: written
// by the main thread while no render thread runs; the render thread and the guard's start
// only read it.
struct GameProcessRecord {
    HANDLE handle = nullptr;
    bool timerExempt = false;
    bool speedExempt = false;
};

extern GameProcessRecord GameProcess;

// The viewer window while the viewer runs, otherwise the game's main window.
HWND ViewerWindowHandle(const TargetGameRecord& game);

// Where the game window waits while the viewer shows its picture: far off every screen,
// where the game still draws and can still be printed.
constexpr int ParkedX = 30000;
constexpr int ParkedY = 30000;

// A game whose window thread stops answering (a long load, a script stuck in a loop, a
// debugger) must not stop the viewer's threads. What the render thread asks of the game
// window while the viewer runs sends it nothing (GetWindowRect, IsWindowVisible), is posted
// without waiting, or waits at most GameAnswerLimitMs.
constexpr UINT GameAnswerLimitMs = 20;

// True when the window's thread answers a message within GameAnswerLimitMs.
bool GameAnswers(HWND window);
// Asks the game window to move to the parked position at the size it had when the viewer
// took it, when it is not there and the game answers; the request does not wait.
void ParkGameWindow();
// Asks the game window to show (true) or hide, when it is not so and the game answers; the
// request does not wait.
void ShowGameWindow(bool shown);
// Asks Windows to keep the display on (true: the picture is shown) or lets it go again, on
// changes only; the request holds for the calling thread, the render thread.
void KeepDisplayOn(bool on);
// Presses and releases one key for the game (keyboard events go to the foreground window),
// holding it for holdMs.
void PressKeyForGame(BYTE virtualKey, DWORD holdMs);
// Remembers the game window's styles and leaves it only WS_VISIBLE: no caption, no border.
void StripGameFrame();
// Puts the game window back where it was with the styles it had.
void RestoreGameWindow();

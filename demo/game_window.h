// The stand-in game's window: a main window of the game's class (GameWindowClass) captioned with
// the game's title, holding one render child that shows the picture in its single (320x240) or
// doubled (640x480) size. The picture starts 2 pixels right of and below the child's outer top-left
// corner; the child draws its own 2-pixel frame around it. F5 switches the size, F4 leaves the
// emulated full-screen mode, WM_CLOSE ends the game.
#pragma once

#include "platform/win32.h"

#include <string>

struct GameOptions {
    std::string title = "Lumenpane Demo";
    std::string logPath;  // empty: no log
    std::string dumpPath; // empty: no frame file
    bool frozen = false;  // animation fixed on FrozenFrame
    bool doubled = true;  // start in the 640x480 size
    bool fullScreen = false;
    int x = 40, y = 40;       // outer top-left of the framed main window
    int hangSeconds = 0;      // > 0: F3 stops the window thread answering for that long (tests)
    int clockHz = 0;          // > 0: the picture follows a frame clock of that rate (frame_clock.h)
    std::string frameLogPath; // with the clock: the frame log; empty: none
    bool hangInPrint = false; // the hang F3 asks for comes inside the next WM_PRINT
};

// Animation frame shown (and dumped) while frozen.
constexpr int FrozenFrame = 37;

// Options from the environment, so they pass through a program that starts the game:
// LMP_DEMO_TITLE, LMP_DEMO_LOG, LMP_DEMO_DUMP, LMP_DEMO_FREEZE=1, LMP_DEMO_SIZE=single|double,
// LMP_DEMO_POS=x,y, LMP_DEMO_FULLSCREEN=1, LMP_DEMO_HANG_SECONDS=N, LMP_DEMO_HANG_IN_PRINT=1,
// LMP_DEMO_CLOCK=HZ, LMP_DEMO_FRAME_LOG.
GameOptions GameOptionsFromEnvironment();

// Appends one line to the game's log (if any), flushed at once.
void LogGameEvent(const char* text);

// Creates the game window on the calling thread and shows it; logs the process's command
// line first. Returns the main window.
HWND CreateGameWindow(const GameOptions& options, HINSTANCE instance);

// Runs the calling thread's message loop until the game window is destroyed; returns the
// exit code posted by the window (0 after WM_CLOSE).
int RunGameLoop();

// Runs the game window on a thread of its own inside this process; returns its main window
// once it exists, or null. The thread ends when the window is closed.
HWND StartGameWindowThread(const GameOptions& options);

// The render child of a game main window (what GetWindow(main, GW_CHILD) returns).
HWND GameRenderWindow(HWND main);

// The guard: a second run of the viewer program that outlives the viewer. When the viewer
// ends without its ordinary stop (killed, or crashed), the guard gives the game window back
// as the stop would, and restores what the viewer changed for the game: its priority class,
// its timer-resolution throttling and the screen-saver setting.
//
// The viewer starts the guard with a private argument naming what to restore and two handles
// the guard inherits: the viewer's own process, and an event the viewer sets when its
// ordinary stop has given the game back. The guard waits for the first of: that event (it
// ends), the game process ending (it ends), the viewer process ending without the event (it
// gives the game back, then ends). It never outlives both programs.
#pragma once

#include "platform/win32.h"

#include <string>

struct GuardOrders {
    HWND gameWindow = nullptr;
    RECT rect{};    // the game window's outer rectangle before the viewer took it over
    LONG style = 0; // its styles before they were stripped
    LONG exStyle = 0;
    DWORD priority = 0;      // the game's priority class before the viewer; 0: leave it as it is
    int screenSaver = 0;     // the screen-saver setting before the viewer switched it off
    HANDLE viewer = nullptr; // the viewer process, inherited (waitable)
    HANDLE done = nullptr;   // set by the viewer's ordinary stop, inherited
};

// The command line that starts the guard: the program path (quoted) and the private argument.
std::string FormatGuardCommandLine(const std::string& programPath, const GuardOrders& orders);
// True when the command line carries the private argument, valid or not.
bool IsGuardCommandLine(const char* commandLine);
// Reads the private argument; false (orders untouched) for anything not exactly as
// FormatGuardCommandLine writes it, or with values the guard must not act on.
bool ParseGuardCommandLine(const char* commandLine, GuardOrders& orders);

// The guard program: returns 0 when it ended normally, 1 when the argument was refused.
int GuardMain(const char* commandLine);

// The viewer's side: start the guard for TargetGame (after the game window's rectangle and
// styles are saved and the game process is open, before anything is changed), and tell it
// that the ordinary stop has given the game back. A guard that cannot start is skipped.
void StartGameGuard();
void ReleaseGameGuard();

// Test-only host for the end-to-end picture tests, never shipped.
//
// Under Wine, PrintWindow of a window of another process leaves the target bitmap black, so
// the viewer's picture can only be checked end to end with the game in the same process.
// This program starts the stand-in game's window on a thread of its own (options from the
// LMP_DEMO_* environment, as for demo/rpg_rt.exe) and then runs the viewer's ordinary
// ViewerMain, which finds that window as it would find the real game's. The viewer starts
// its guard as a second run of its own program, so this program also runs the guard when it
// is started with the guard's argument.
#include "platform/win32.h"

#include "demo/game_window.h"
#include "viewer/lifecycle/game_guard.h"
#include "viewer/lifecycle/target_game.h"
#include "viewer/lifecycle/viewer.h"
#include "viewer/surface/surface.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    const char* commandLine = GetCommandLineA();
    if (IsGuardCommandLine(commandLine)) EndProgram(GuardMain(commandLine));
    if (!StartGameWindowThread(GameOptionsFromEnvironment())) return 3;
    EndProgram(ViewerMain());
}

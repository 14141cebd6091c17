// Test-only host for the end-to-end picture tests, never shipped.
//
// Under Wine, PrintWindow of a window of another process leaves the target bitmap black, so
// the viewer's picture can only be checked end to end with the game in the same process.
// This program starts the stand-in game's window on a thread of its own (options from the
// LMP_DEMO_* environment, as for demo/rpg_rt.exe) and then runs the viewer's ordinary
// ViewerMain, which finds that window as it would find the real game's.
#include "platform/win32.h"

#include "demo/game_window.h"
#include "game/target_game.h"
#include "program/settings.h"
#include "program/viewer.h"
#include "window/surface.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    ApplySettings(ReadSettings()); // lumenpane.ini beside the host, as beside the viewer
    if (!StartGameWindowThread(GameOptionsFromEnvironment())) return 3;
    EndProgram(ViewerMain());
}

// The stand-in game program: runs the game window until it
// is closed. Options come from the environment (see GameOptionsFromEnvironment).
#include "game_window.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    GameOptions options = GameOptionsFromEnvironment();
    HWND main = CreateGameWindow(options, instance);
    if (!main) return 1;
    return RunGameLoop();
}

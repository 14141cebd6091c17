// The stand-in game program: logs its command line, then runs the game window until it
// is closed. Options come from the environment (see GameOptionsFromEnvironment).
#include "game_window.h"

#include <string>

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    GameOptions options = GameOptionsFromEnvironment();
    HWND main = CreateGameWindow(options, instance);
    LogGameEvent((std::string("cmdline ") + GetCommandLineA()).c_str());
    if (!main) return 1;
    return RunGameLoop();
}

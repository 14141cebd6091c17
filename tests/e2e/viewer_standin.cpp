// Test-only stand-in for the viewer, for the starter's end-to-end tests: it attaches to
// the game window, opens a window named the way the viewer names its own (class
// ViewerWindowClassPrefix + game title, caption the title), and logs every F8 press and release it
// sees through GetAsyncKeyState to viewer_standin.log beside its executable. It ends when
// the game window is gone.
#include "platform/game_contract.h"
#include "platform/win32.h"

#include <cstdio>
#include <string>

namespace {

std::FILE* logFile = nullptr;

std::string LogPath() {
    char module[260] = {};
    GetModuleFileNameA(nullptr, module, sizeof module);
    std::string path = module;
    return path.substr(0, path.rfind('\\') + 1) + "viewer_standin.log";
}

void Log(const char* event, const std::string& text) {
    std::fprintf(logFile, "%lu %s %s\n", static_cast<unsigned long>(GetTickCount()), event,
                 text.c_str());
    std::fflush(logFile);
}

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcA(window, message, wParam, lParam);
}

HWND OpenWindow(const std::string& title) {
    const std::string className = ViewerWindowClassPrefix + title;
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = WindowProc;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = className.c_str();
    RegisterClassA(&windowClass);
    const std::string caption = title.empty() ? "lumenpane" : title;
    return CreateWindowExA(0, className.c_str(), caption.c_str(), WS_OVERLAPPEDWINDOW | WS_VISIBLE,
                           0, 0, 320, 240, nullptr, nullptr, windowClass.hInstance, nullptr);
}

} // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    logFile = std::fopen(LogPath().c_str(), "a");
    if (!logFile) return 4;
    const HWND game = FindWindowA(GameWindowClass, nullptr);
    if (!game) {
        Log("nogame", "");
        return 1;
    }
    char title[100] = {};
    GetWindowTextA(game, title, 100);
    if (!OpenWindow(title)) return 5;
    Log("window", title);
    bool down = false;
    while (IsWindow(game)) {
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&message);
        const bool nowDown = (GetAsyncKeyState(VK_F8) & 0x8000) != 0;
        if (nowDown != down) Log(nowDown ? "F8down" : "F8up", "");
        down = nowDown;
        SleepEx(5, FALSE);
    }
    Log("gameclosed", "");
    std::fclose(logFile);
    return 0;
}

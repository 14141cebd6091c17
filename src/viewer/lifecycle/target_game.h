// The record of the attached game and the viewer's lifecycle operations.
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
    // The game process, opened once by StartViewer with only the right to change its
    // priority class, and closed by StopViewer.
    HANDLE gameProcess = nullptr;
};

extern TargetGameRecord TargetGame;

// The viewer window while the viewer runs, otherwise the game's main window.
HWND ViewerWindowHandle(const TargetGameRecord& game);

void StartViewer();
void StopViewer();

// The render thread's entry and one pass of its loop; RenderPass returns false when the
// loop must end (the game window is gone or running was cleared).
void RenderThread(void* parameter);
bool RenderPass();

// Switch the viewer window between its framed placement (0) and full screen (1).
void SetViewerFullscreen(std::uint8_t on);

// The viewer's main entry; returns the exit code.
int ViewerMain();

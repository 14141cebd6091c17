// Which monitor the viewer covers full screen and first centres its framed window on, as the
// player chooses it in lumenpane.ini ([display] monitor=primary|game|<number>).
#pragma once

#include "platform/win32.h"

#include <string>
#include <vector>

enum class MonitorRule { Primary, Game, Number };

struct MonitorChoice {
    MonitorRule rule = MonitorRule::Primary;
    int number = 0; // 1..N for MonitorRule::Number
};

// The player's choice. Threads: written by the main thread at start-up, before the viewer
// window opens and the render thread starts; read by any thread afterwards.
extern MonitorChoice ViewerMonitor;

struct MonitorArea {
    HMONITOR handle = nullptr;
    RECT rect{}; // rcMonitor
    bool primary = false;
};

// The monitors present, numbered as players count them: sorted by left edge, then top edge
// (not Windows' own display numbers), their rectangles in real pixels whatever the display
// scale. Never empty: without an answer from Windows, the primary screen's size at (0, 0).
std::vector<MonitorArea> SortedMonitors();

// What the monitor is chosen for: the automatic switch and the first placement (with `game`,
// the monitor that holds the larger part of the game's saved rectangle), or a switch from the
// framed window (with `game`, the monitor that holds the larger part of that window).
enum class MonitorUse { GameStart, FromWindow };

// The chosen monitor's handle (a numbered one that is gone gives the primary).
HMONITOR ChosenMonitor(MonitorUse use, HWND framedWindow);

// A monitor's rectangle; false when the monitor is gone.
bool MonitorRect(HMONITOR monitor, RECT* rect);

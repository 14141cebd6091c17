// Shared set-up for the viewer lifecycle tests: a clean simulated desktop, a fresh
// TargetGame record and a stand-in game window.
#pragma once

#include "frame_records_reset.h"
#include "game/target_game.h"
#include "platform/game_contract.h"
#include "program/viewer.h"
#include "sim_desktop.h"
#include "target_game_reset.h"
#include "window/surface.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

constexpr LONG GameStyle = 0x14CA0000;   // visible, clipped, caption, system menu, minimise box
constexpr LONG GameExStyle = 0x00040100; // app window, window edge
constexpr RECT GameRect{100, 80, 746, 589};

// Also the frame step's records: a test that runs passes must not leave its filter, its
// schedule or its print worker to the next.
inline void ResetViewer() {
    if (TargetGame.renderThread) {
        TargetGame.running = 0;
        WaitThread(TargetGame.renderThread);
    }
    ResetFrameRecords();
    ResetSim();
    ResetTargetGame();
}

struct SimGame {
    HWND window;
    DWORD processId;
};

inline SimGame AddGame(const std::string& title = "Demo Quest", RECT rect = GameRect) {
    const DWORD pid = SimAddProcess("rpg_rt.exe");
    HWND window = SimAddWindow(GameWindowClass, title, rect, pid);
    SimWindowOf(window).style = GameStyle;
    SimWindowOf(window).exStyle = GameExStyle;
    return {window, pid};
}

// Attach to a game the way the main entry does, without its waiting.
inline SimGame AttachGame(const std::string& title = "Demo Quest", RECT rect = GameRect) {
    const SimGame game = AddGame(title, rect);
    TargetGame.gameWindow = game.window;
    TargetGame.processId = game.processId;
    TargetGame.title = title;
    return game;
}

// The game window as it was before the viewer took it over: its place, its styles, shown.
inline void ExpectGameAsBefore(const SimWindow& w) {
    EXPECT_EQ(w.rect.left, GameRect.left);
    EXPECT_EQ(w.rect.top, GameRect.top);
    EXPECT_EQ(w.rect.right, GameRect.right);
    EXPECT_EQ(w.rect.bottom, GameRect.bottom);
    EXPECT_EQ(w.style, GameStyle);
    EXPECT_EQ(w.exStyle, GameExStyle);
    EXPECT_TRUE(w.visible);
}

// Position of the first logged call starting with prefix, or -1.
inline long CallIndex(const std::string& prefix) {
    for (std::size_t i = 0; i < Sim.calls.size(); ++i)
        if (Sim.calls[i].rfind(prefix, 0) == 0) return long(i);
    return -1;
}

inline std::string Handle(const void* handle) {
    return SimHandleText(handle);
}

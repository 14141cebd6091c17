// Puts the TargetGame record back to the values it has when the program loads.
#pragma once

#include "game/target_game.h"

inline void ResetTargetGame() {
    TargetGame.title = "Lumenpane";
    TargetGame.processId = 0;
    TargetGame.gameWindow = nullptr;
    TargetGame.running = 0;
    TargetGame.currentWidth = TargetGame.currentHeight = 0;
    TargetGame.fullscreen = 0;
    TargetGame.wantedWidth = 640;
    TargetGame.wantedHeight = 480;
    TargetGame.renderThread = nullptr;
    TargetGame.savedRect = RECT{};
    TargetGame.savedStyle = TargetGame.savedExStyle = 0;
    GameProcess.handle = nullptr;
}

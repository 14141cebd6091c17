// The record of the attached game and the query for the viewer window.
#include "viewer/lifecycle/target_game.h"

#include "viewer/surface/surface.h"

TargetGameRecord TargetGame;

HWND ViewerWindowHandle(const TargetGameRecord& game) {
    return game.running.load() == 1 ? SurfaceWindowHandle() : game.gameWindow;
}

// The game starter: starts the game windowed, then the viewer, then selects the viewer's
// filter with F8: the count the configuration file gives, taken modulo the length of the
// viewer's filter cycle (filter_count.h).
#pragma once

// Exit codes of the starter.
constexpr int kExitDone = 0;
constexpr int kExitGameStartFailed = 1;
constexpr int kExitGameAlreadyRunning = 2;
constexpr int kExitViewerStartFailed = 3;

// Runs the whole start sequence and returns the exit code.
int StarterMain();

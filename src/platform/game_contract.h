// What the viewer, the starter and the capture helper agree on about the game's windows and
// about each other. Names and sizes only: the programs share no code at run time.
#pragma once

// The game's main window class; its first child window is the one the game draws into.
constexpr const char* GameWindowClass = "TFormLcfGameMain";

// The viewer window's class: this prefix followed by the game's title as the viewer read it.
constexpr const char* ViewerWindowClassPrefix = "fbgfxclass_";

// The viewer reads the game's title into a buffer of this many bytes, so the viewer window's
// class holds at most the title's first TitleBufferSize - 1 characters.
constexpr int TitleBufferSize = 100;

// The viewer's F8 runs through this many filters unless lumenpane.ini lists others; the
// starter counts its presses over them.
constexpr int DefaultFilterCycleLength = 3;
// The filters lumenpane.ini's [display] filters= may list for the viewer's F8, the first the
// game's own picture: the viewer's filter table keys, in its order (checked where the table is
// built); the starter counts its presses over the same list.
constexpr const char* CycleFilterNames[] = {"off", "scale2x", "hq2x", "mmpx"};

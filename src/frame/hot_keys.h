// The viewer's hot keys F6, F7, F8 and the screenshot key, and the F5 press a filter change
// gives the game.
#pragma once

#include "frame/f5_check.h"

struct Image;

// F6, F7, F8 and the screenshot key.
constexpr int HotKeyCount = 4;

// With the smooth pacing F5 is held down for the game while the passes go on, and released by
// the first pass after its press is due to end. Threads: the render thread's alone.
struct HotKeysRecord {
    double f5ReleaseAt = 0.0; // F5 held down for the game until then (0: not held)
    F5Check f5Check;          // whether the game took the last filter change's F5
    // Presses of each hot key read but not yet acted on: the game is still to take the
    // foreground, or they were read during a wait.
    int pending[HotKeyCount] = {};
    bool readThisPass = false; // the pass's HandleHotKeys read the keys (nobody else in front)
};

extern HotKeysRecord HotKeys;

void HandleHotKeys();
// Reads the hot keys: each press is kept to be acted on by a later HandleHotKeys.
void ReadHotKeys();
// The same later in a pass whose HandleHotKeys read them; nothing in a pass that dropped them.
void ReadHotKeysAgain();
// Sleeps `ms` in steps short enough to read the hot keys between them, so that no press
// of a key tapped meanwhile is lost.
void SleepReadingHotKeys(int ms);
// Queries F6, F7, F8 and the screenshot key and ignores the answers: for passes that do not read
// the hot keys, so presses made meanwhile are not reported later. The latches stay; presses
// kept for later are dropped.
void DiscardHotKeyPresses();
// Releases F5 for the game once its press, begun by a filter change, is due to end.
void ReleaseF5WhenDue(double now);
// A picture of the game's render window, printed from `printBegan` on (Timer()): its size
// tells whether the game took the F5 of the last filter change.
void NoteGamePicture(const Image* picture, double printBegan);

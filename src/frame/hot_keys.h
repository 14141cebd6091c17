// The viewer's hot keys F6, F7, F8 and the screenshot key, and the F5 press a filter change
// gives the game.
#pragma once

// With the smooth pacing F5 is held down for the game while the passes go on, and released by
// the first pass after its press is due to end. Threads: the render thread's alone.
struct HotKeysRecord {
    double f5ReleaseAt = 0.0; // F5 held down for the game until then (0: not held)
};

extern HotKeysRecord HotKeys;

void HandleHotKeys();
// Queries F6, F7, F8 and the screenshot key and ignores the answers: for passes that do not read
// the hot keys, so presses made meanwhile are not reported later. The latches stay.
void DiscardHotKeyPresses();
// Releases F5 for the game once its press, begun by a filter change, is due to end.
void ReleaseF5WhenDue(double now);

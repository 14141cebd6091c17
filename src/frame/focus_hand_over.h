// The hand-over of the foreground from the viewer back to the game, and what it means for
// the hot keys.
//
// A click into the viewer window gives it the foreground; the render thread gives it back to
// the game DelaySeconds later, so the player's keys keep reaching the game. Right after that
// no window is in front until the game's window thread takes the foreground (under Wine at
// least). Hot keys pressed just before, while the viewer was in front, must still act, but
// only once the game is in front, where the F5 for a filter change reaches it.
//
// The steps take the time from the caller and the foreground readings from a callable, so
// that any pacing can drive them: the fixed pacing begins and sleeps until the due time
// inside the same pass; a pacing that does not sleep there may come back once Due().
#pragma once

#include "platform/win32.h"

// Whether the player handles this window now (see Postpone): its thread is in a move or size
// loop or a menu, or holds the mouse capture.
bool PlayerHandlesWindow(HWND window);

// Threads. Part of FrameState and owned like it: the render thread is the only writer and
// reader (the pass begins and completes the hand-over, its hot keys classify the foreground);
// no lock.
struct FocusHandOver {
    // From the viewer seen in front to the foreground given to the game.
    static constexpr double DelaySeconds = 0.150;
    // A game that has not taken the foreground this long after the hand-over is not
    // answering: the hot keys act without it, as they must during a hang.
    static constexpr double WaitLimitSeconds = 0.25;

    // Who is in front for the hot keys: act on them, drop them, or leave them reported for a
    // later pass while the game is still to take the foreground.
    enum class Front { GameOrViewer, Other, HandOver };

    bool due = false; // begun: the foreground is to be given to the game at dueAt
    double dueAt = 0.0;
    // The foreground was given to the game and no window has been seen in front since: until
    // then a foreground of none is the game's still to come.
    bool handed = false;
    double handedAt = 0.0;

    // The viewer was seen in front at `now`: the foreground is due DelaySeconds later. A
    // hand-over already due keeps its time.
    void Begin(double now);
    bool Due(double now) const { return due && now >= dueAt; }
    // Milliseconds from `now` to the due time, rounded to the nearest; 0 once it has
    // passed or when nothing is due.
    int MsUntilDue(double now) const;
    // The game was given the foreground at `now`.
    void Handed(double now);
    // The player handles the viewer's window (moves or sizes it, has its menu open, holds the
    // mouse on it): taking the foreground would end that, so nothing is due; the count begins
    // anew once he lets go.
    void Postpone() { due = false; }
    // Giving it failed: nothing is due any more. An earlier hand-over still waiting for a
    // window in front stays so.
    void Failed() { due = false; }

    // Reads the foreground through readFront() anew for each comparison, as GetForegroundWindow.
    template <typename ReadFront>
    Front Classify(ReadFront readFront, HWND game, HWND viewer, double now);
};

// A foreground of none matches neither window, also when the surface has no window; only
// while a hand-over waits does it mean the game is still to come. Any window seen in front
// ends that waiting; so does the game taking the front between the two readings. A game that
// has not taken the front within WaitLimitSeconds no longer holds the keys back, but the
// waiting goes on: the keys act while still no window is in front.
template <typename ReadFront>
FocusHandOver::Front FocusHandOver::Classify(ReadFront readFront, HWND game, HWND viewer,
                                             double now) {
    HWND front = readFront();
    const bool waiting = handed && !front;
    if (waiting && now - handedAt >= WaitLimitSeconds) return Front::GameOrViewer;
    if (front) handed = false;
    if (front && front == game) return Front::GameOrViewer;
    front = readFront();
    if (!front) return waiting ? Front::HandOver : Front::Other;
    handed = false;
    if (front == viewer) return Front::GameOrViewer;
    return waiting && front == game ? Front::GameOrViewer : Front::Other;
}

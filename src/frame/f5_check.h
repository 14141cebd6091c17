// Whether the F5 a filter change pressed for the game reached it.
//
// The key goes to whichever window is in front. Right after a hand-over of the foreground,
// or on a busy machine, that may not yet be the game, and the press is lost: the game keeps
// the picture size of the filter before, and the viewer would filter a quarter of its doubled
// picture, or show its single-size one in a corner, until the player pressed F8 round the
// cycle. The check looks at the size of the pictures printed once the game has had time to
// switch, and has F5 pressed again, with the game in front, while they keep the wrong size.
//
// It looks from SettleSeconds after each press on, and ends once a picture printed
// WatchSeconds after it has the right size. The presses again are bounded: a game that never
// switches (one that ignores F5) is left alone after them. With the first press that makes an odd
// number, so that a game that was only slow and takes every press late still ends at the size asked
// for.
#pragma once

struct F5Check {
    // From a press to the first picture that must show the new size.
    static constexpr double SettleSeconds = 0.5;
    // From a press to the end of the look: a game that took the press late and then a press
    // again must be seen to change size twice.
    static constexpr double WatchSeconds = 2.0;
    static constexpr int PressesAgain = 2;
    // How long the pictures must keep the wrong size: one picture printed before the switch
    // but handed on late is not enough.
    static constexpr double WrongForSeconds = 0.2;

    enum class Verdict { Wait, PressAgain, GiveUp };

    bool watching = false;    // a press is looked after
    bool missed = false;      // the pictures looked at have had the wrong size WrongForSeconds
    double wrongSince = -1.0; // the print of the first of them (-1: the last one was right)
    double pressedAt = 0.0;
    int pressesLeft = 0;

    // A filter change pressed F5 at `now`.
    void Pressed(double now);
    // A picture of the game whose print began at `printBegan`: whether it has the doubled
    // size, and whether the current filter reads the doubled picture.
    void Seen(bool pictureDoubled, bool filterReadsDoubled, double printBegan);
    // Whether F5 is to be pressed again now (counted as pressed at `now`), or the check ends
    // without it: only with the game in front, where the key reaches it.
    Verdict Judge(bool gameInFront, double now);
};

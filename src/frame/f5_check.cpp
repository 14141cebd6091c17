// The check that the game took the F5 of a filter change (f5_check.h).
#include "frame/f5_check.h"

void F5Check::Pressed(double now) {
    watching = true;
    missed = false;
    wrongSince = -1.0;
    pressedAt = now;
    pressesLeft = PressesAgain;
}

void F5Check::Seen(bool pictureDoubled, bool filterReadsDoubled, double printBegan) {
    if (!watching || printBegan < pressedAt + SettleSeconds) return;
    if (pictureDoubled == filterReadsDoubled) {
        missed = false;
        wrongSince = -1.0;
        if (printBegan > pressedAt + WatchSeconds) watching = false;
        return;
    }
    if (wrongSince < 0.0) wrongSince = printBegan;
    missed = printBegan - wrongSince >= WrongForSeconds;
}

F5Check::Verdict F5Check::Judge(bool gameInFront, double now) {
    if (!missed || !gameInFront) return Verdict::Wait;
    missed = false;
    if (pressesLeft == 0) {
        watching = false;
        return Verdict::GiveUp;
    }
    --pressesLeft;
    pressedAt = now;
    wrongSince = -1.0;
    return Verdict::PressAgain;
}

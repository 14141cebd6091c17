// The steps of the focus hand-over to the game (focus_hand_over.h).
#include "frame/focus_hand_over.h"

#include <cmath>

void FocusHandOver::Begin(double now) {
    if (due) return;
    due = true;
    dueAt = now + DelaySeconds;
}

int FocusHandOver::MsUntilDue(double now) const {
    const double ms = (dueAt - now) * 1000.0;
    return due && ms > 0.0 ? int(std::lround(ms)) : 0;
}

void FocusHandOver::Handed(double now) {
    due = false;
    handed = true;
    handedAt = now;
}

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

bool PlayerHandlesWindow(HWND window) {
    const DWORD thread = window ? GetWindowThreadProcessId(window, nullptr) : 0;
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    if (!thread || !GetGUIThreadInfo(thread, &info)) return false;
    return (info.flags & (GUI_INMOVESIZE | GUI_INMENUMODE | GUI_SYSTEMMENUMODE)) != 0 ||
           info.hwndCapture != nullptr;
}

void FocusHandOver::Handed(double now) {
    due = false;
    handed = true;
    handedAt = now;
}

// Display changes, noted by the window thread and taken by the render thread.
#include "window/surface.h"

#include <atomic>

namespace {
std::atomic<bool> DisplayChanged{false};
}

void NoteDisplayChange() {
    DisplayChanged = true;
}

bool TakeDisplayChange() {
    return DisplayChanged.exchange(false);
}

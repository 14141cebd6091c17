// The guard's two sides: the viewer starting and releasing it, and the guard program waiting
// for the viewer and giving the game back when the viewer ended without its ordinary stop.
#include "game/game_guard.h"

#include "game/target_game.h"
#include "game/timer_exemption.h"
#include "platform/program_files.h"

namespace {

// The viewer's handle to the event its ordinary stop sets; null while no guard runs.
// Written by the main thread only (StartViewer, StopViewer).
HANDLE GuardDone = nullptr;

// An inheritable copy of a handle of this process; null when it cannot be made.
HANDLE InheritableCopy(HANDLE handle, DWORD access, DWORD options) {
    HANDLE copy = nullptr;
    if (!DuplicateHandle(GetCurrentProcess(), handle, GetCurrentProcess(), &copy, access, TRUE,
                         options))
        return nullptr;
    return copy;
}

DWORD GamePriorityNow() {
    const DWORD priority = GameProcess.handle ? GetPriorityClass(GameProcess.handle) : 0;
    switch (priority) {
    case IDLE_PRIORITY_CLASS:
    case BELOW_NORMAL_PRIORITY_CLASS:
    case NORMAL_PRIORITY_CLASS:
    case ABOVE_NORMAL_PRIORITY_CLASS:
    case HIGH_PRIORITY_CLASS:
        return priority;
    default: // unreadable, or a class the guard would not set back: leave it to the player
        return 0;
    }
}

bool StartGuardProcess(const GuardOrders& orders) {
    const std::string path = ProgramPath();
    if (path.empty()) return false;
    PROCESS_INFORMATION started{};
    if (!StartProgram(path, FormatGuardCommandLine(path, orders), TRUE, &started)) return false;
    CloseHandle(started.hThread);
    CloseHandle(started.hProcess);
    return true;
}

void GiveGameBack(const GuardOrders& orders, HANDLE game) {
    TargetGame.gameWindow = orders.gameWindow;
    TargetGame.savedRect = orders.rect;
    TargetGame.savedStyle = orders.style;
    TargetGame.savedExStyle = orders.exStyle;
    // Its priority first: on a busy machine Windows gives a game the minimised viewer left at
    // idle priority little time, and it must answer the window calls below.
    if (orders.priority) SetPriorityClass(game, orders.priority);
    RestoreGameWindow();
    SetForegroundWindow(orders.gameWindow); // Windows may refuse this to a background process
    SetTimerExemption(game, false);         // speed and timer throttling are Windows' choice again
    SystemParametersInfoA(SPI_SETSCREENSAVEACTIVE, UINT(orders.screenSaver), nullptr, 0);
}

} // namespace

void StartGameGuard() {
    ReleaseGameGuard();
    // A game inside the viewer's own process ends with it: there is nothing to give back.
    if (TargetGame.processId == GetCurrentProcessId()) return;
    GuardOrders orders;
    orders.gameWindow = TargetGame.gameWindow;
    orders.rect = TargetGame.savedRect;
    orders.style = TargetGame.savedStyle;
    orders.exStyle = TargetGame.savedExStyle;
    orders.priority = GamePriorityNow();
    BOOL saver = FALSE;
    if (SystemParametersInfoA(SPI_GETSCREENSAVEACTIVE, 0, &saver, 0))
        orders.screenSaver = saver ? 1 : 0;

    HANDLE done = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    if (!done) return;
    orders.done = InheritableCopy(done, 0, DUPLICATE_SAME_ACCESS);
    orders.viewer = InheritableCopy(GetCurrentProcess(), SYNCHRONIZE, 0);
    const bool started = orders.done && orders.viewer && StartGuardProcess(orders);
    // The guard holds its own copies now; the viewer keeps no inheritable handle.
    if (orders.done) CloseHandle(orders.done);
    if (orders.viewer) CloseHandle(orders.viewer);
    if (started)
        GuardDone = done;
    else
        CloseHandle(done);
}

void ReleaseGameGuard() {
    if (!GuardDone) return;
    SetEvent(GuardDone);
    CloseHandle(GuardDone);
    GuardDone = nullptr;
}

int GuardMain(const char* commandLine) {
    GuardOrders orders;
    if (!ParseGuardCommandLine(commandLine, orders)) return 1;
    DWORD gameId = 0;
    GetWindowThreadProcessId(orders.gameWindow, &gameId);
    HANDLE game =
        gameId ? OpenProcess(SYNCHRONIZE | PROCESS_SET_INFORMATION, FALSE, gameId) : nullptr;
    if (game) {
        // The lowest signalled index wins: an ordinary stop sets the event before the viewer
        // ends, so a viewer that ended after it never counts as killed.
        const HANDLE waits[3] = {orders.done, orders.viewer, game};
        const DWORD woke = WaitForMultipleObjects(3, waits, FALSE, INFINITE);
        DWORD windowOwner = 0;
        if (woke == WAIT_OBJECT_0 + 1 && IsWindow(orders.gameWindow) &&
            GetWindowThreadProcessId(orders.gameWindow, &windowOwner) && windowOwner == gameId)
            GiveGameBack(orders, game);
        CloseHandle(game);
    }
    CloseHandle(orders.viewer);
    CloseHandle(orders.done);
    return 0;
}

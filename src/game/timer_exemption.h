// Windows 11 stops honouring the timer resolution a process asked for while its windows are
// hidden or off every screen: the parked game is such a process, and so is the viewer while
// it is minimised. Exempted, both keep the fine timer their pacing relies on.
#pragma once

#include "platform/win32.h"

// Exempts the process from timer-resolution throttling (exempt), or gives that choice back
// to Windows. False where Windows lacks the call (before Windows 8) or refuses it; nothing
// else changes then.
bool SetTimerExemption(HANDLE process, bool exempt);
// Whether Windows throttles the timer so at all: Windows 11 (build 22000) and later.
bool TimerThrottlingExists();

// Windows throttles a process whose windows are hidden, off every screen or not in front:
// from Windows 10 1709 it may slow its execution (EcoQoS: lower clock, efficiency cores of a
// hybrid processor), and Windows 11 stops honouring the timer resolution it asked for. The
// parked game is such a process, and so is the viewer, never the foreground process after the
// hand-over. Exempted, both keep the speed and the fine timer their pacing relies on.
//
// Each exemption is a call of its own, so that a Windows that refuses one flag still grants
// the other; a call with no flag at all gives both choices back to Windows.
#pragma once

#include "platform/win32.h"

// Exempts the process from timer-resolution throttling (exempt), or gives every throttling
// choice back to Windows. False where Windows lacks the call (before Windows 8) or refuses it;
// nothing else changes then.
bool SetTimerExemption(HANDLE process, bool exempt);
// Exempts the process from execution-speed throttling; false where Windows lacks the call or
// refuses the flag.
bool SetSpeedExemption(HANDLE process);
// Whether Windows throttles the timer so at all: Windows 11 (build 22000) and later.
bool TimerThrottlingExists();
// Whether Windows throttles the execution speed: Windows 10 1709 (build 16299) and later.
bool SpeedThrottlingExists();

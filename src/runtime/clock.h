// Time for every thread of the viewer: seconds since system start and sleeping.
#pragma once

#include "platform/win32.h"

// Seconds since system start, monotonic, sub-millisecond where the platform offers it.
double Timer();
// Suspends the calling thread only.
void SleepMs(int milliseconds);

// Asks for a finer system timer period (timeBeginPeriod), true when granted; and gives it
// back. winmm.dll is not one of the DLLs Windows always takes from its own folder: it is
// looked up in the system folder when first needed, never imported, so a winmm.dll in the
// game's folder is not loaded into the viewer.
bool BeginTimerPeriod(UINT milliseconds);
void EndTimerPeriod(UINT milliseconds);

// Suspends the calling thread until Timer() reaches `deadline`: on a high-resolution waitable
// timer where Windows offers one (Windows 10 1803 and later), otherwise for the nearest whole
// number of milliseconds. For the smooth pacing, which samples at chosen moments.
void SleepUntil(double deadline);

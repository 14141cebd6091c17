// Time for every thread of the viewer: seconds since system start and sleeping.
#pragma once

// Seconds since system start, monotonic, sub-millisecond where the platform offers it.
double Timer();
// Suspends the calling thread only.
void SleepMs(int milliseconds);

// Suspends the calling thread until Timer() reaches `deadline`: on a high-resolution waitable
// timer where Windows offers one (Windows 10 1803 and later), otherwise for the nearest whole
// number of milliseconds. For the smooth pacing, which samples at chosen moments.
void SleepUntil(double deadline);

// Time for every thread of the viewer: seconds since system start and sleeping.
#pragma once

// Seconds since system start, monotonic, sub-millisecond where the platform offers it.
double Timer();
// Suspends the calling thread only.
void SleepMs(int milliseconds);

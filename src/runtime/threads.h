// The application's threads (the viewer's render thread) over the platform's.
#pragma once

struct ThreadRecord;
using ThreadProcedure = void (*)(void* parameter);
// Null when the thread cannot be started; stackSize 0: the platform's default.
ThreadRecord* StartThread(ThreadProcedure procedure, void* parameter, unsigned stackSize);
// Waits without time-out for the thread to end, then releases its record; null does nothing.
void WaitThread(ThreadRecord* thread);

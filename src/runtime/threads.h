// The application's threads (the viewer's render thread) over the platform's.
#pragma once

struct ThreadRecord;
using ThreadProcedure = void (*)(void* parameter);
// Whether the thread uses COM (the PNG codec): it then runs its procedure inside COM's
// multithreaded apartment.
enum class ThreadCom { None, Apartment };
// Null when the thread cannot be started; stackSize 0: the platform's default.
ThreadRecord* StartThread(ThreadProcedure procedure, void* parameter, unsigned stackSize,
                          ThreadCom com = ThreadCom::None);
// Waits without time-out for the thread to end, then releases its record; null does nothing.
void WaitThread(ThreadRecord* thread);

// The smooth pacing's threads (the render thread, the window thread) run above the normal
// threads of other processes for the short moments they work: the calling thread joins the
// multimedia class scheduler's "Games" task where Windows offers it, or else takes the
// highest priority of its process; Lower... gives that back before the thread ends.
void RaiseThreadForPacing();
void LowerThreadFromPacing();

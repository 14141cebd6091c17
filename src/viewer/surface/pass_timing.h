// Where a render pass's time goes: time stamps of the render pass's stages and of the window
// thread's presentation, summed up per filter mode into lumenpane.log when the render thread
// ends. Built only with the CMake option LMP_PASS_TIMING (a measuring build); in the shipped
// build every call below is empty.
//
// Threads. The render thread alone calls the Pass* functions, the window thread alone the
// Present* ones; what they share (the print stamp of the frame being presented and the mode)
// is handed over under the surface lock. WritePassTimings runs once the render thread has
// ended and takes the surface lock against the window thread.
#pragma once

#include <cstdint>

// The parts of one render pass, in the order they run. Each mark ends the stage it names;
// the stage after HelperWait runs from the mark before it.
enum PassStage : int {
    StageSleep,        // the pacing sleep
    StageChecks,       // IsWindow and the running flag
    StageFocus,        // the focus hand-over check
    StagePark,         // keeping the game window parked
    StageIconic,       // IsIconic and IsWindow before presenting
    StageShowPriority, // showing the game window and both priority classes
    StagePrepare,      // work images, frame count, render window, surface size
    StageHotKeys,      // foreground test and F6, F7, F8
    StageLockWait,     // taking the surface lock
    StageGameAnswers,  // IsWindow and the answer check before the capture
    StageHelperWait,   // asking the helper and waiting for its print
    StageCaptureCopy,  // copying the print into the capture image
    StagePicture,      // the picture of the filter into the frame buffer
    StageOverlay,      // the overlay
    StageUnlock,       // marking the rows and letting go of the lock
    StageKey,          // the close request check
    PassStageCount
};

enum PresentStage : int {
    PresentLockWait, // the window thread waiting for the surface lock
    PresentCopyRows, // marked rows into the presentation buffer
    PresentScale,    // sharp scaling of the changed rows, the lock let go meanwhile
    PresentShow,     // the buffer onto the window
    PresentMessages, // the window's messages
    PresentStageCount
};

#ifdef LMP_PASS_TIMING
void PassBegin();
void PassMark(PassStage finished);
// The pass ended; it counts for `mode` unless `counted` is false (the viewer minimised, the
// filter's name showing) or it waited on purpose (focus hand-over, F5 or F6).
void PassEnd(int mode, bool counted);
// The print now in the frame buffer, on the counter of QueryPerformanceCounter (the helper's
// clock is the same across processes): when it began and ended. Called under the surface lock.
void PassPrinted(std::int64_t began, std::int64_t ended);
void PresentBegin();
void PresentMark(PresentStage finished);
void PresentEnd(bool shown);
void WritePassTimings();
#else
inline void PassBegin() {}
inline void PassMark(PassStage) {}
inline void PassEnd(int, bool) {}
inline void PassPrinted(std::int64_t, std::int64_t) {}
inline void PresentBegin() {}
inline void PresentMark(PresentStage) {}
inline void PresentEnd(bool) {}
inline void WritePassTimings() {}
#endif

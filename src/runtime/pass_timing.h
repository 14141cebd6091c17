// Where a render pass's time goes: time stamps of the render pass's stages and of the window
// thread's presentation, summed up per filter mode into lumenpane.log when the render thread
// ends. Built only with the CMake option LMP_PASS_TIMING (a measuring build); in the shipped
// build every call below is empty.
//
// Each layer names the stages it marks where it marks them; a mark ends the stage it names,
// which ran from the mark before it. The columns of the log follow the order in which the
// stages were first marked; a stage marked twice in one pass counts both parts.
//
// The measuring build also keeps a frame trace of each new picture's way to the window, written
// to lumenpane-frames.log beside the viewer at the end, one line per picture in Timer()
// seconds: "began ended filtered handed shown" (its print began and ended, its picture was
// drawn, its rows were handed over, the window thread presented them; 0: never).
//
// Threads. The render thread alone calls the Pass* functions, the window thread alone the
// Present* ones; what they share (the latest print's stamp, the latest trace entry and the
// mode) is atomic.
// WritePassTimings runs once the render thread has ended and takes the surface lock against the
// window thread.
#pragma once

#include <cstdint>

#ifdef LMP_PASS_TIMING
void PassBegin();
void PassMark(const char* finishedStage);
// The pass ended; it counts for the mode so named (a name that lives as long as the program)
// unless `counted` is false (the viewer minimised, the
// filter's name showing) or it waited on purpose (focus hand-over, F5 or F6). `sleepStage`
// names the stage that waited for the pass's moment, left out of "beyond sleep".
void PassEnd(const char* mode, bool counted, const char* sleepStage);
// The print just copied, on the counter of QueryPerformanceCounter (the helper's clock is the
// same across processes): when it began and ended.
void PassPrinted(std::int64_t began, std::int64_t ended);
// A new picture drawn into the frame buffer (under the surface lock), its print's times in
// Timer() seconds; and its rows about to be handed over (the lock let go next).
void PassPictureHanded(double printBegan, double printEnded);
void PassHandedOver();
void PresentBegin();
void PresentMark(const char* finishedStage);
// The window thread took the frame buffer's picture (under the surface lock), and showed the
// rows it took: the age of the print it shows is measured between the two.
void PresentTookPicture();
void PresentShowed();
void PresentEnd(bool shown);
void WritePassTimings();
#else
inline void PassBegin() {}
inline void PassMark(const char*) {}
inline void PassEnd(const char*, bool, const char*) {}
inline void PassPrinted(std::int64_t, std::int64_t) {}
inline void PassPictureHanded(double, double) {}
inline void PassHandedOver() {}
inline void PresentBegin() {}
inline void PresentMark(const char*) {}
inline void PresentTookPicture() {}
inline void PresentShowed() {}
inline void PresentEnd(bool) {}
inline void WritePassTimings() {}
#endif

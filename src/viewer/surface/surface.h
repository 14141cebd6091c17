// The presentation surface: the viewer's own window with its frame buffer, the key queue,
// the timer, sleeping, threads and program end.
//
// The state below is portable and shared by two variants: the Win32 window
// (surface_win32.cpp) and a headless one without a window (surface_headless.cpp), which the
// native tests and the command-line tools use. Both keep the same record and rules.
#pragma once

#include "viewer/surface/display_fit.h"

#include <cstdint>
#include <string>

struct HWND__;
struct HMONITOR__;

// OpenSurface flags.
constexpr std::uint32_t NoModeSwitch = 4;
constexpr std::uint32_t AlphaPrimitives = 64;

// The key code that a click on the window's close button queues: 0xFF then "k".
constexpr std::uint32_t CloseRequestKey = 0x6BFF;

constexpr int MaxSurfaceTitle = 127;
constexpr int KeyQueueSlots = 16;

// Threads. OpenSurface and CloseSurface (one application thread at a time; the viewer's
// main thread, or its render thread when the size changes) write the geometry, flags,
// frameBuffer and rowMarks and open, holding the surface lock while the window thread runs.
// Drawing into frameBuffer and setting rowMarks happen under the surface lock (LockSurface),
// which the window thread also takes to present the marked rows; lockCount belongs to the
// lock's holder. The key queue is filled by the window thread and emptied by PollKey, both
// under the lock. title and pointerVisible are written by the thread that opens the surface,
// before the window exists or (pointerVisible) as a single flag the window thread only reads.
struct SurfaceState {
    bool open = false;
    int width = 0;
    int height = 0;
    int depth = 0;         // bits per pixel as opened (24 is opened as 32)
    int bytesPerPixel = 0; // 1, 2 or 4
    int pitch = 0;         // width * bytesPerPixel: no row padding
    std::uint32_t flags = 0;
    std::uint8_t* frameBuffer = nullptr; // row 0, 16-byte aligned
    std::uint8_t* rowMarks = nullptr;    // one flag per row, set when the row changed
    // The marked rows are presented no earlier than this (Timer() seconds; 0: at once), so
    // that pictures of a game's frames reach the display at the same moment of each frame.
    double presentAfter = 0.0;
    int lockCount = 0;
    bool pointerVisible = true;
    char title[MaxSurfaceTitle + 1] = {};
    std::uint32_t keys[KeyQueueSlots] = {};
    int keyHead = 0; // oldest waiting code
    int keyTail = 0; // next free slot; head == tail means empty
    // The monitor a newly opened framed window is centred on (null: the primary screen).
    // Written by the thread that opens the surface, before it opens.
    HMONITOR__* homeMonitor = nullptr;
};

extern SurfaceState Surface;

// Operations every variant provides (surface_win32.cpp or surface_headless.cpp).
void SetSurfaceTitle(const char* title);
int OpenSurface(int width, int height, int depth, int pages, std::uint32_t flags, int refreshRate);
int CloseSurface();
HWND__* SurfaceWindowHandle();
void HideMouse();
// How the window variant places the frame in its client area (Stretch until set); black
// outside the picture.
void SetSurfaceFit(DisplayFit fit);
// Nearest neighbour (the default) or sharp scaling of the frame where the picture is not
// 640x480; any thread, any time.
void SetSurfaceScaling(DisplayScaling scaling);
// Whether the window variant presents in step with the display's refresh where it can
// (present_cadence.h); set before the surface opens.
void SetSurfacePresentInStep(bool inStep);

// Display changes (another resolution, a monitor connected or removed): the window thread
// notes one when the window hears of it, the render thread takes it before it takes the
// surface lock and places the window anew. Any thread (surface_state.cpp, an atomic flag).
void NoteDisplayChange();
bool TakeDisplayChange();

struct ThreadRecord;
using ThreadProcedure = void (*)(void* parameter);
ThreadRecord* StartThread(ThreadProcedure procedure, void* parameter, unsigned stackSize);
void WaitThread(ThreadRecord* thread);
[[noreturn]] void EndProgram(int exitCode);

// Portable operations (surface_state.cpp).
void LockSurface();
void UnlockSurface(int firstRow, int lastRow);
void* SurfacePixels();
std::string PollKey();

// Portable helpers the variants share.
int SurfaceBytesPerPixelForDepth(int depth); // 0 when the depth is refused
bool AllocateSurfaceState(int width, int height, int depth, std::uint32_t flags);
void ReleaseSurfaceState();
void QueueKey(std::uint32_t code);
void MarkAllRows();
std::string KeyCodeText(std::uint32_t code);

// The lock under LockSurface; each variant provides it (the headless one has no other
// thread to keep out). Re-entrant for the thread that holds it.
void TakeSurfaceLock();
void ReleaseSurfaceLock();

// Time (surface_time.cpp): Timer in seconds since system start, SleepMs for the caller only.
double Timer();
void SleepMs(int milliseconds);

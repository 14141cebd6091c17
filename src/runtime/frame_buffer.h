// The presentation surface's record: the frame buffer and its row marks, the key queue the
// window fills, and the surface lock that guards them. The window that shows the frame buffer
// is one layer up (window/surface.h); images and blits draw into the frame buffer from the
// pixel layer.
#pragma once

#include <cstdint>
#include <string>

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
    // The size the surface opened at, which the framed window's size counts in; the frame
    // (width x height) may differ from it after ResizeFrameBuffer.
    int openedWidth = 0;
    int openedHeight = 0;
    // The largest frame the buffers hold (ReserveFrameBuffer, or the size opened at when
    // larger), so that ResizeFrameBuffer changes the frame's size without allocating.
    int roomWidth = 0;
    int roomHeight = 0;
    std::uint32_t flags = 0;
    std::uint8_t* frameBuffer = nullptr; // row 0, 16-byte aligned
    std::uint8_t* rowMarks = nullptr;    // one flag per row, set when the row changed
    // The latest new picture the application handed over: when it was seen (Timer() seconds),
    // and the window thread's note of the latest picture it presented: the time its picture was
    // seen, and when it was presented.
    double pictureSeenAt = 0.0;
    double shownSeenAt = 0.0;
    double pictureShownAt = 0.0;
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

// Portable operations (frame_buffer.cpp).
void LockSurface();
// Unlocks; rows firstRow..lastRow are marked for presentation (-1: from the first or to the last
// row; firstRow > lastRow: none). Marking rows wakes the window thread (SignalRowsMarked).
void UnlockSurface(int firstRow, int lastRow);
void* SurfacePixels();
std::string PollKey();

// Portable helpers the window variants share.
int SurfaceBytesPerPixelForDepth(int depth); // 0 when the depth is refused
bool AllocateSurfaceState(int width, int height, int depth, std::uint32_t flags);
// Before the surface opens: room for a frame of up to width x height in the buffers it makes
// (the frame buffer here, the window's presentation buffer), beside the size it opens at.
void ReserveFrameBuffer(int width, int height);
// Under the surface lock: the open 32-bit frame buffer becomes width x height within its room,
// opaque black and no row marked, its pointer, window and presentation kept. False (nothing
// changed) for another pixel size or a frame beyond the room.
bool ResizeFrameBuffer(int width, int height);
void ReleaseSurfaceState();
void QueueKey(std::uint32_t code);
void MarkAllRows();
std::string KeyCodeText(std::uint32_t code);

// The lock under LockSurface; each variant provides it (frame_buffer_lock_win32.cpp; the
// headless and simulated ones have no other thread to keep out). Re-entrant for the thread
// that holds it.
void TakeSurfaceLock();
void ReleaseSurfaceLock();
// Wakes the thread that presents the marked rows: the Win32 lock's variant sets the event
// RowsMarkedEvent returns (an auto-reset event, a HANDLE; Windows only); the others have no
// such thread.
void SignalRowsMarked();
void* RowsMarkedEvent();
// Windows only: whether the calling thread holds the surface lock; letting go of it
// completely (returns how often it was held) and taking it again as often.
bool CallerHoldsLock();
int DropCallersLock();
void RetakeCallersLock(int depth);

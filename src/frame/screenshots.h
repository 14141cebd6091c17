// Screenshots: one key saves the frame the viewer shows (its frame buffer at the frame's grid
// with the current filter, without the overlay) and the game's own 320x240 picture as PNG files.
//
// The frame step copies both into the images of a free slot after it has drawn the picture
// and before the overlay; a thread of its own encodes and writes them (screenshot_files.h),
// so no pass of the render thread waits for a file. Two slots: while one is being saved, one
// more press waits in the other; a press beyond that is dropped. The overlay tells how the
// save went.
#pragma once

#include "frame/frame_step.h"
#include "frame/screenshot_files.h"
#include "platform/win32.h"

#include <atomic>
#include <string>

struct Image;
struct ThreadRecord;

// lumenpane.ini, [keys] screenshot=F9|F11|none.
enum class ScreenshotKey { F9, F11, None };

// One press's pictures. The render thread writes the images, time and filter while the slot
// is Free; the saving thread reads them while it is Saving.
struct ScreenshotSlot {
    enum State { Free, Queued, Saving };
    Image* frame = nullptr;        // the frame's: one of frames
    Image* frames[GridCount] = {}; // at each grid up to the largest the frame is made at
    Image* game = nullptr;         // 320x240
    SYSTEMTIME time{};             // of the copy, local
    FilterMode filter = FilterOff;
    int grid = MinGrid; // the frame's
    State state = Free;
    unsigned order = 0; // queued slots are saved in the order of their presses
};

// Encodes and stores one slot's pictures under the name (ScreenshotName); on Windows
// SaveScreenshotFiles (screenshot_files_win32.cpp). Runs on the saving thread.
using ScreenshotSaver = ScreenshotOutcome (*)(const ScreenshotSlot& slot, const std::string& name);
ScreenshotOutcome SaveScreenshotFiles(const ScreenshotSlot& slot, const std::string& name);

// Threads. key and save are set before the viewer starts (ApplySettings); thread, wake and
// the slots' images are made and released by the main thread while no render thread runs
// (StartScreenshots, StopScreenshots). latch and wanted belong to the render thread. lock
// guards the slots' state and order, nextOrder, outcome and stopping; outcomeWaiting tells
// the render thread, without the lock, that an outcome waits.
struct ScreenshotsRecord {
    int key = VK_F9; // 0: no key
    ScreenshotSaver save = nullptr;
    bool latch = false;
    bool wanted = false; // pressed: the next picture drawn is copied
    ScreenshotSlot slots[2];
    unsigned nextOrder = 0;
    ScreenshotOutcome outcome;
    std::atomic<bool> outcomeWaiting{false};
    bool stopping = false;
    CRITICAL_SECTION lock{};
    HANDLE wake = nullptr; // set when a slot is queued or the thread is to end
    ThreadRecord* thread = nullptr;
};

extern ScreenshotsRecord Screenshots;

// The key as a virtual-key code (0: none).
int ScreenshotKeyCode(ScreenshotKey key);

// Main thread: with a key and a saver, makes the slots' images and starts the saving thread;
// StopScreenshots lets it finish what is queued and ends it.
void StartScreenshots();
void StopScreenshots();

// Render thread, under the surface lock with the picture in the frame buffer and no overlay
// on it: a wanted screenshot copied into a free slot and queued.
void TakeWantedScreenshot();
// Render thread: a save's outcome, once it has come, shown by the overlay.
void ShowScreenshotOutcome(double now);

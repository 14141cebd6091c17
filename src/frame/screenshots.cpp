// Screenshots: the copies in the frame step, the queue of two slots and the saving thread.
#include "frame/screenshots.h"

#include "pixels/image.h"
#include "runtime/threads.h"
#include "runtime/viewer_log.h"
#include "window/surface.h"

#include <cstdio>
#include <cstring>
#include <utility>

ScreenshotsRecord Screenshots;

namespace {

constexpr int GameWidth = 320, GameHeight = 240;

struct Locked {
    Locked() { EnterCriticalSection(&Screenshots.lock); }
    ~Locked() { LeaveCriticalSection(&Screenshots.lock); }
};

// The frame buffer without the overlay, and the game's own picture: with a filter the
// single-size picture the filter started from; with Off the frame reduced to the top-left
// pixel of each grid x grid block.
bool CopyPictures(ScreenshotSlot& slot) {
    const auto* frame = static_cast<const std::uint8_t*>(SurfacePixels());
    const Image* small = FrameState.smallArgbImage;
    const int grid = FrameGrid();
    slot.frame = slot.frames[GridIndex(grid)];
    if (!frame || !slot.frame || Surface.width != grid * GameWidth ||
        Surface.height != grid * GameHeight || Surface.bytesPerPixel != 4 || !small)
        return false;
    for (int y = 0; y < Surface.height; ++y)
        std::memcpy(ImageRow(slot.frame, y), frame + std::size_t(y) * Surface.pitch,
                    std::size_t(Surface.width) * 4);
    for (int y = 0; y < GameHeight; ++y) {
        auto* game = reinterpret_cast<std::uint32_t*>(ImageRow(slot.game, y));
        if (FrameState.filterMode == FilterOff) {
            const auto* grown =
                reinterpret_cast<const std::uint32_t*>(ImageRow(slot.frame, grid * y));
            for (int x = 0; x < GameWidth; ++x) game[x] = grown[grid * x];
        } else {
            std::memcpy(game, ImagePixels(small) + std::size_t(y) * small->pitch,
                        std::size_t(GameWidth) * 4);
        }
    }
    return true;
}

// The oldest queued slot, now Saving; null when none is queued.
ScreenshotSlot* TakeQueued() {
    Locked locked;
    ScreenshotSlot* oldest = nullptr;
    for (ScreenshotSlot& slot : Screenshots.slots)
        if (slot.state == ScreenshotSlot::Queued && (!oldest || slot.order < oldest->order))
            oldest = &slot;
    if (oldest) oldest->state = ScreenshotSlot::Saving;
    return oldest;
}

// Saves what is queued whenever woken, until told to stop with nothing left in the queue.
void SavingThread(void*) {
    for (;;) {
        WaitForSingleObject(Screenshots.wake, INFINITE);
        ResetEvent(Screenshots.wake); // a slot queued from here on sets it again
        while (ScreenshotSlot* slot = TakeQueued()) {
            ScreenshotOutcome outcome =
                Screenshots.save(*slot, ScreenshotName(slot->time, slot->filter, slot->grid));
            if (!outcome.saved)
                AppendViewerLog(("screenshot not saved: " + outcome.reason).c_str());
            Locked locked;
            slot->state = ScreenshotSlot::Free;
            Screenshots.outcome = std::move(outcome);
            Screenshots.outcomeWaiting = true;
        }
        Locked locked;
        if (Screenshots.stopping) return;
    }
}

} // namespace

int ScreenshotKeyCode(ScreenshotKey key) {
    return key == ScreenshotKey::F9 ? VK_F9 : key == ScreenshotKey::F11 ? VK_F11 : 0;
}

void StartScreenshots() {
    if (!Screenshots.key || !Screenshots.save || Screenshots.wake) return;
    Screenshots.wake = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    if (!Screenshots.wake) return;
    InitializeCriticalSection(&Screenshots.lock);
    Screenshots.stopping = false;
    for (ScreenshotSlot& slot : Screenshots.slots) {
        bool made = bool(slot.game = CreateImage(GameWidth, GameHeight, 0, 32, 0));
        for (int grid = MinGrid; grid <= FrameState.maxGrid && grid <= MaxGrid; ++grid) {
            Image*& frame = slot.frames[GridIndex(grid)];
            frame = CreateImage(grid * GameWidth, grid * GameHeight, 0, 32, 0);
            made = made && frame;
        }
        slot.frame = slot.frames[0];
        // A slot without its images is never taken.
        slot.state = made ? ScreenshotSlot::Free : ScreenshotSlot::Saving;
    }
    Screenshots.thread = StartThread(SavingThread, nullptr, 0, ThreadCom::Apartment);
    if (!Screenshots.thread) StopScreenshots();
    // Windows reports a press since the last query by anyone: one made before the viewer
    // started (in the game, or for an earlier viewer) saves nothing.
    GetAsyncKeyState(Screenshots.key);
}

void StopScreenshots() {
    if (!Screenshots.wake) return;
    if (Screenshots.thread) {
        {
            Locked locked;
            Screenshots.stopping = true;
        }
        SetEvent(Screenshots.wake);
        WaitThread(Screenshots.thread);
        Screenshots.thread = nullptr;
    }
    CloseHandle(Screenshots.wake);
    Screenshots.wake = nullptr;
    DeleteCriticalSection(&Screenshots.lock);
    for (ScreenshotSlot& slot : Screenshots.slots) {
        for (Image* image : slot.frames)
            if (image) DestroyImage(image);
        if (slot.game) DestroyImage(slot.game);
        slot = ScreenshotSlot{};
    }
    Screenshots.wanted = Screenshots.latch = false;
    Screenshots.outcomeWaiting = false; // no render thread is left to show it
}

void TakeWantedScreenshot() {
    if (!Screenshots.wanted) return;
    Screenshots.wanted = false;
    ScreenshotSlot* free = nullptr;
    {
        Locked locked;
        for (ScreenshotSlot& slot : Screenshots.slots)
            if (slot.state == ScreenshotSlot::Free) free = &slot;
    }
    if (!free || !CopyPictures(*free)) return;
    GetLocalTime(&free->time);
    free->filter = FrameState.filterMode;
    free->grid = FrameGrid();
    {
        Locked locked;
        free->state = ScreenshotSlot::Queued;
        free->order = Screenshots.nextOrder++;
    }
    SetEvent(Screenshots.wake);
}

void ShowScreenshotOutcome(double now) {
    if (!Screenshots.outcomeWaiting.exchange(false)) return;
    char text[OverlayTextCapacity];
    {
        Locked locked;
        if (Screenshots.outcome.saved)
            std::snprintf(text, sizeof text,
                          Screenshots.outcome.inAppData ? "Saved in AppData: %s" : "Saved %s",
                          Screenshots.outcome.name.c_str());
        else
            std::snprintf(text, sizeof text, "Screenshot not saved");
    }
    ShowOverlayNotice(text, now);
}

// The portable half of the surface: its record, the frame buffer and row marks, the lock
// count, and the key queue.
#include "runtime/frame_buffer.h"

#include "runtime/aligned_memory.h"

#include <algorithm>
#include <cstring>

SurfaceState Surface;

int SurfaceBytesPerPixelForDepth(int depth) {
    switch (depth) {
    case 1:
    case 2:
    case 4:
    case 8:
        return 1;
    case 15:
    case 16:
        return 2;
    case 24:
    case 32:
        return 4;
    default:
        return 0;
    }
}

namespace {

void FillBlack(int width, int height) {
    if (Surface.bytesPerPixel == 4) {
        auto* p = reinterpret_cast<std::uint32_t*>(Surface.frameBuffer);
        std::fill(p, p + std::size_t(width) * height, 0xFF000000u);
    } else {
        std::memset(Surface.frameBuffer, 0, std::size_t(Surface.pitch) * height);
    }
}

} // namespace

void ReserveFrameBuffer(int width, int height) {
    Surface.roomWidth = width;
    Surface.roomHeight = height;
}

bool AllocateSurfaceState(int width, int height, int depth, std::uint32_t flags) {
    const int bytesPerPixel = SurfaceBytesPerPixelForDepth(depth);
    const int pitch = width * bytesPerPixel;
    Surface.roomWidth = std::max(Surface.roomWidth, width);
    Surface.roomHeight = std::max(Surface.roomHeight, height);
    const std::size_t room = std::size_t(Surface.roomWidth) * Surface.roomHeight;
    auto* pixels = static_cast<std::uint8_t*>(AlignedAlloc(room * bytesPerPixel));
    auto* marks = new (std::nothrow) std::uint8_t[Surface.roomHeight]();
    if (!pixels || !marks) {
        AlignedFree(pixels);
        delete[] marks;
        return false;
    }
    Surface.width = Surface.openedWidth = width;
    Surface.height = Surface.openedHeight = height;
    Surface.depth = depth == 24 ? 32 : depth;
    Surface.bytesPerPixel = bytesPerPixel;
    Surface.pitch = pitch;
    Surface.flags = flags;
    Surface.frameBuffer = pixels;
    Surface.rowMarks = marks;
    Surface.pointerVisible = true;
    // The key queue is left as it is: a close asked for of the window a reopen replaces is
    // still the viewer's to act on.
    FillBlack(width, height); // opaque black for 32-bit pixels; zero for the narrower depths
    Surface.open = true;
    return true;
}

bool ResizeFrameBuffer(int width, int height) {
    if (!Surface.open || Surface.bytesPerPixel != 4 || width < 1 || height < 1 ||
        width > Surface.roomWidth || height > Surface.roomHeight)
        return false;
    Surface.width = width;
    Surface.height = height;
    Surface.pitch = width * 4;
    FillBlack(width, height);
    std::memset(Surface.rowMarks, 0, std::size_t(height));
    return true;
}

void ReleaseSurfaceState() {
    Surface.open = false;
    AlignedFree(Surface.frameBuffer);
    delete[] Surface.rowMarks;
    Surface.frameBuffer = nullptr;
    Surface.rowMarks = nullptr;
    Surface.width = Surface.height = Surface.depth = Surface.bytesPerPixel = Surface.pitch = 0;
    Surface.openedWidth = Surface.openedHeight = 0;
}

void LockSurface() {
    if (!Surface.open) return;
    TakeSurfaceLock();
    ++Surface.lockCount;
}

void UnlockSurface(int firstRow, int lastRow) {
    if (!Surface.open || Surface.lockCount == 0) return;
    if (firstRow < 0) firstRow = 0;
    if (lastRow < 0) lastRow = Surface.height - 1;
    const bool marks = firstRow <= lastRow && lastRow < Surface.height;
    if (marks) std::memset(Surface.rowMarks + firstRow, 1, std::size_t(lastRow - firstRow + 1));
    --Surface.lockCount;
    ReleaseSurfaceLock();
    if (marks) SignalRowsMarked();
}

void MarkAllRows() {
    if (Surface.open) std::memset(Surface.rowMarks, 1, std::size_t(Surface.height));
}

void* SurfacePixels() {
    return Surface.open ? Surface.frameBuffer : nullptr;
}

void QueueKey(std::uint32_t code) {
    const int next = (Surface.keyTail + 1) % KeyQueueSlots;
    if (next == Surface.keyHead) Surface.keyHead = (Surface.keyHead + 1) % KeyQueueSlots;
    Surface.keys[Surface.keyTail] = code;
    Surface.keyTail = next;
}

std::string KeyCodeText(std::uint32_t code) {
    if (code == 0) return {};
    if (code <= 255) return std::string(1, char(code));
    // Special keys are queued as 0xFF in the low byte and a letter in the second byte.
    return std::string{char(0xFF), char((code >> 8) & 0xFF)};
}

std::string PollKey() {
    if (!Surface.open) return {};
    TakeSurfaceLock();
    std::uint32_t code = 0;
    if (Surface.keyHead != Surface.keyTail) {
        code = Surface.keys[Surface.keyHead];
        Surface.keyHead = (Surface.keyHead + 1) % KeyQueueSlots;
    }
    ReleaseSurfaceLock();
    return KeyCodeText(code);
}

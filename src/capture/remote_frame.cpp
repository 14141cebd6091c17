// Layout and decisions of the frame exchange with the capture helper (no platform calls).
#include "capture/remote_frame.h"

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstring>

// The block is shared between two processes; the sequence fields order the rest.
static std::uint32_t LoadShared(const std::uint32_t& field) {
    return std::atomic_ref<std::uint32_t>(const_cast<std::uint32_t&>(field))
        .load(std::memory_order_acquire);
}

static void StoreShared(std::uint32_t& field, std::uint32_t value) {
    std::atomic_ref<std::uint32_t>(field).store(value, std::memory_order_release);
}

void InitRemoteFrameHeader(RemoteFrameHeader* header, std::uint32_t viewerProcessId) {
    std::memset(header, 0, sizeof *header);
    header->magic = RemoteFrameMagic;
    header->version = RemoteFrameVersion;
    header->headerSize = RemoteFrameHeaderSize;
    header->capacity = RemoteFramePixelCapacity;
    header->viewerProcessId = viewerProcessId;
}

bool RemoteFrameHeaderUsable(const RemoteFrameHeader* header, std::size_t mappingSize) {
    if (mappingSize < RemoteFrameHeaderSize) return false;
    return header->magic == RemoteFrameMagic && header->version == RemoteFrameVersion &&
           header->headerSize == RemoteFrameHeaderSize &&
           header->capacity <= mappingSize - RemoteFrameHeaderSize;
}

std::int32_t RemoteFrameSizeStatus(long width, long height, std::uint32_t capacity) {
    if (width <= 0 || height <= 0) return RemoteFrameEmpty;
    if (width > long(RemoteFrameMaxSide) || height > long(RemoteFrameMaxSide))
        return RemoteFrameTooLarge;
    if (std::uint64_t(width) * std::uint64_t(height) * 4 > capacity) return RemoteFrameTooLarge;
    return 0;
}

void PublishRemoteFrame(RemoteFrameHeader* header, std::uint32_t sequence, std::int32_t status,
                        std::uint32_t width, std::uint32_t height) {
    header->status = status;
    header->width = width;
    header->height = height;
    StoreShared(header->frameSequence, sequence);
}

std::uint32_t PendingRemoteRequest(const RemoteFrameHeader* header, std::uint32_t answered) {
    const std::uint32_t sequence = LoadShared(header->requestSequence);
    return sequence == answered ? 0 : sequence;
}

std::uint32_t NextRemoteSequence(std::uint32_t sequence) {
    const std::uint32_t next = sequence + 1;
    return next == 0 ? 1 : next;
}

std::uint32_t PostRemoteRequest(RemoteFrameHeader* header, std::uint64_t window, std::int64_t due) {
    const std::uint32_t sequence = NextRemoteSequence(LoadShared(header->requestSequence));
    header->requestWindow = window;
    header->requestDue = due;
    StoreShared(header->requestSequence, sequence);
    return sequence;
}

std::int64_t RemoteDueTime(std::int64_t now, double ticksPerMs, int sleepMs,
                           std::int64_t printTicks) {
    const double ahead = sleepMs * ticksPerMs - RemotePrintLeadMs * ticksPerMs - double(printTicks);
    return ahead > 0 ? now + std::int64_t(ahead) : now;
}

std::uint32_t RemotePrintDelayMs(const RemoteFrameHeader* header, std::int64_t now,
                                 std::int64_t seenAt, double ticksPerMs) {
    if (ticksPerMs <= 0) return 0;
    const double limit = double(seenAt) + RemotePrintDelayLimitMs * ticksPerMs;
    const double due = std::min(double(header->requestDue), limit);
    return due > double(now) ? std::uint32_t((due - double(now)) / ticksPerMs) : 0;
}

int ReadRemoteFrame(const RemoteFrameHeader* header, std::uint32_t sequence, int* width,
                    int* height) {
    if (header->magic != RemoteFrameMagic || header->version != RemoteFrameVersion)
        return RemoteFrameCorrupt;
    if (sequence == 0 || LoadShared(header->frameSequence) != sequence) return RemoteFrameWaiting;
    const std::int32_t status = header->status;
    if (status != RemoteFrameReady) {
        return status >= RemoteFrameNotWindow && status <= RemoteFramePrintFailed
                   ? status
                   : RemoteFrameCorrupt;
    }
    // The sizes come from another process: check them against the block the viewer made,
    // not against anything written into it.
    const std::uint32_t w = header->width, h = header->height;
    if (w > RemoteFrameMaxSide || h > RemoteFrameMaxSide ||
        RemoteFrameSizeStatus(long(w), long(h), RemoteFramePixelCapacity) != 0)
        return RemoteFrameCorrupt;
    *width = int(w);
    *height = int(h);
    return RemoteFrameReady;
}

int RemoteFrameCaptureResult(int replyStatus) {
    switch (replyStatus) {
    case RemoteFrameReady:
        return 1;
    case RemoteFrameNotWindow:
    case RemoteFrameEmpty:
        return 0;
    case RemoteFrameTooLarge:
        return -4;
    default: // waiting past the bound, a failed print, no DIB section, a corrupt block
        return -3;
    }
}

std::uint32_t RemoteWaitLeft(std::uint32_t start, std::uint32_t now, std::uint32_t bound) {
    const std::uint32_t spent = now - start; // unsigned: correct across a wrap of the tick
    return spent >= bound ? 0 : bound - spent;
}

void RemoteObjectName(std::uint32_t gameProcessId, const char* kind, char* name,
                      std::size_t nameSize) {
    std::snprintf(name, nameSize, "Local\\LumenpaneCapture.%u.%s", unsigned(gameProcessId), kind);
}

void HelperFileName(const void* bytes, std::size_t size, int pointerBits, char* name,
                    std::size_t nameSize) {
    // FNV-1a over the library's bytes.
    std::uint32_t hash = 2166136261u;
    const auto* p = static_cast<const std::uint8_t*>(bytes);
    for (std::size_t i = 0; i < size; ++i) hash = (hash ^ p[i]) * 16777619u;
    std::snprintf(name, nameSize, "lmp_capture%d_%08x.dll", pointerBits, unsigned(hash));
}

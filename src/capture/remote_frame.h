// The frame exchange between the viewer and its capture helper inside the game process.
//
// Under Wine a window of another process cannot be printed, so the viewer loads a small
// helper library into the game, whose thread prints the render window into a shared memory
// block on request. The block is a RemoteFrameHeader followed by the pixel rows (w x 4 bytes
// each, top row first, no gaps). This file holds the layout and every decision about it;
// it makes no platform calls, so both sides and the native tests share it.
#pragma once

#include <cstddef>
#include <cstdint>

constexpr std::uint32_t RemoteFrameMagic = 0x43504D4Cu; // "LMPC" in memory
constexpr std::uint32_t RemoteFrameVersion = 2;
// The largest outer window size the helper prints; larger windows are refused.
constexpr std::uint32_t RemoteFrameMaxSide = 1024;
constexpr std::uint32_t RemoteFrameHeaderSize = 128;
constexpr std::uint32_t RemoteFramePixelCapacity = RemoteFrameMaxSide * RemoteFrameMaxSide * 4;
constexpr std::uint32_t RemoteFrameMappingSize = RemoteFrameHeaderSize + RemoteFramePixelCapacity;
// How long the viewer waits for one frame before it keeps the previous picture.
constexpr std::uint32_t RemoteFrameWaitMs = 50;
// The longest the helper holds back a request for its due time: a due time further ahead
// (a corrupt block) is printed this long after the helper first saw the request.
constexpr std::uint32_t RemotePrintDelayLimitMs = 50;
// How much earlier than the viewer's wake-up a requested print is due, beyond the time the
// latest print took: the helper's waits end up to 1 ms early and a little late.
constexpr double RemotePrintLeadMs = 1.0;
// How long the viewer waits for a freshly loaded helper to report that it runs.
constexpr std::uint32_t RemoteHelperStartMs = 3000;

// helperState
constexpr std::uint32_t HelperNotStarted = 0;
constexpr std::uint32_t HelperRunning = 1;
constexpr std::uint32_t HelperStopped = 2;

// status of a reply
constexpr std::int32_t RemoteFrameReady = 1;
constexpr std::int32_t RemoteFrameNotWindow = 2;   // not a window, or not the game's render window
constexpr std::int32_t RemoteFrameTooLarge = 3;    // larger than RemoteFrameMaxSide either way
constexpr std::int32_t RemoteFrameEmpty = 4;       // zero or negative width or height
constexpr std::int32_t RemoteFrameNoDib = 5;       // the helper could not make its DIB section
constexpr std::int32_t RemoteFramePrintFailed = 6; // PrintWindow returned zero

// What the viewer makes of the block after waiting.
constexpr int RemoteFrameWaiting = 0;  // no reply to the current request yet (or a stale one)
constexpr int RemoteFrameCorrupt = -1; // the block does not hold a usable reply

struct RemoteFrameHeader {
    std::uint32_t magic;
    std::uint32_t version;
    std::uint32_t headerSize;
    std::uint32_t capacity; // bytes of pixels after the header
    std::uint32_t viewerProcessId;
    std::uint32_t helperState;
    std::uint32_t stopRequest;     // set by the viewer: the helper ends
    std::uint32_t requestSequence; // written by the viewer, never 0
    std::uint64_t requestWindow;   // the render window to print, as an integer
    std::uint32_t frameSequence;   // the request the current reply answers
    std::int32_t status;
    std::uint32_t width;
    std::uint32_t height;
    // Times on the counter of QueryPerformanceCounter, which both processes share.
    std::int64_t requestDue; // viewer: print no earlier than this; 0 prints at once
    std::int64_t printBegan; // helper: when the print of the current reply began and ended
    std::int64_t printEnded;
    std::uint32_t reserved[12];
};
static_assert(sizeof(RemoteFrameHeader) == RemoteFrameHeaderSize);

// Viewer: fill a fresh block before the helper is loaded.
void InitRemoteFrameHeader(RemoteFrameHeader* header, std::uint32_t viewerProcessId);
// Helper: whether a block it opened was laid out by a viewer of the same version and fits in
// mappingSize bytes.
bool RemoteFrameHeaderUsable(const RemoteFrameHeader* header, std::size_t mappingSize);
// Helper: 0 when a window of outer size width x height can be printed into the block,
// otherwise the status that refuses it.
std::int32_t RemoteFrameSizeStatus(long width, long height, std::uint32_t capacity);
// Helper: publish a reply; the sequence is stored last, so a reader that sees it sees the rest.
void PublishRemoteFrame(RemoteFrameHeader* header, std::uint32_t sequence, std::int32_t status,
                        std::uint32_t width, std::uint32_t height);
// Helper: the sequence number of a request it has not answered yet, or 0 when there is none
// (no request posted, or only the one it answered last, `answered`, which is never printed
// again).
std::uint32_t PendingRemoteRequest(const RemoteFrameHeader* header, std::uint32_t answered);
// Viewer: the sequence number of the next request (never 0, which means "no request").
std::uint32_t NextRemoteSequence(std::uint32_t sequence);
// Viewer: post a request for the given window, to be printed no earlier than `due` (0: at
// once), and return its sequence number.
std::uint32_t PostRemoteRequest(RemoteFrameHeader* header, std::uint64_t window,
                                std::int64_t due = 0);
// Viewer: the due time of a print asked for now (`now`, on a counter of ticksPerMs ticks per
// millisecond) for a wake-up `sleepMs` from now: finished just before then, going by the
// time the latest print took (printTicks).
std::int64_t RemoteDueTime(std::int64_t now, double ticksPerMs, int sleepMs,
                           std::int64_t printTicks);
// Helper: whole milliseconds to wait at `now` before printing the pending request, first
// seen at `seenAt`; 0 when it is due (within a millisecond) or has waited
// RemotePrintDelayLimitMs since it was seen.
std::uint32_t RemotePrintDelayMs(const RemoteFrameHeader* header, std::int64_t now,
                                 std::int64_t seenAt, double ticksPerMs);
// Viewer: read the reply to request `sequence`. Returns RemoteFrameWaiting when the block does
// not answer that request yet, RemoteFrameCorrupt when it cannot be trusted, otherwise the
// reply's status; for RemoteFrameReady, width and height are set and the pixels are known to
// lie inside the block.
int ReadRemoteFrame(const RemoteFrameHeader* header, std::uint32_t sequence, int* width,
                    int* height);
// The capture result for a reply status: 1 copied, 0 not a window, -3 nothing new (the
// image keeps its earlier picture), -4 the window is too large for the helper.
int RemoteFrameCaptureResult(int replyStatus);
// Milliseconds still to wait of `bound` since `start`, on a millisecond tick that may wrap.
std::uint32_t RemoteWaitLeft(std::uint32_t start, std::uint32_t now, std::uint32_t bound);

// The name of one of the exchange's kernel objects ("map", "request" or "done") for the game
// process gameProcessId; the helper finds them by its own process id.
void RemoteObjectName(std::uint32_t gameProcessId, const char* kind, char* name,
                      std::size_t nameSize);

// The helper library's file name in the temporary folder: its pointer size and a hash of its
// bytes, so that different builds never share (or overwrite) one file.
void HelperFileName(const void* bytes, std::size_t size, int pointerBits, char* name,
                    std::size_t nameSize);

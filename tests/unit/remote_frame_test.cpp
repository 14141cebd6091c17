// The frame exchange with the capture helper: block checks, size refusals, sequence
// handling, result codes, the wait bound, row copies and the helper's file name.
#include "capture/capture_image.h"
#include "capture/remote_frame.h"

#include "pixels/image.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace {

// A block as the viewer maps it (the pixels are not needed by the header tests).
struct Block {
    RemoteFrameHeader header;
};

Block FreshBlock() {
    Block block;
    std::memset(&block, 0xCD, sizeof block); // the mapping's old content must not matter
    InitRemoteFrameHeader(&block.header, 4242);
    return block;
}

// An image laid out like CreateImage's, with a pitch wider than the rows.
struct TestImage {
    std::vector<std::uint8_t> bytes;
    Image* image;
    TestImage(int width, int height, int bytesPerPixel, std::uint32_t pitch) {
        bytes.assign(32 + std::size_t(pitch) * height, 0xEE);
        image = reinterpret_cast<Image*>(bytes.data());
        image->imageType = ImageTypeTag;
        image->bytesPerPixel = std::uint32_t(bytesPerPixel);
        image->width = std::uint32_t(width);
        image->height = std::uint32_t(height);
        image->pitch = pitch;
    }
};

} // namespace

TEST(RemoteFrameBlock, AFreshBlockIsUsableByTheHelperOnlyWhenItFitsItsMapping) {
    Block block = FreshBlock();
    EXPECT_EQ(block.header.viewerProcessId, 4242u);
    EXPECT_EQ(block.header.helperState, HelperNotStarted);
    EXPECT_EQ(block.header.requestSequence, 0u);
    EXPECT_EQ(block.header.frameSequence, 0u);
    EXPECT_TRUE(RemoteFrameHeaderUsable(&block.header, RemoteFrameMappingSize));
    // A mapping one byte short of the pixels it claims must be refused.
    EXPECT_FALSE(RemoteFrameHeaderUsable(&block.header, RemoteFrameMappingSize - 1));
    EXPECT_FALSE(RemoteFrameHeaderUsable(&block.header, 10));
}

TEST(RemoteFrameBlock, ForeignOrOlderBlocksAreRefusedByBothSides) {
    int w = 0, h = 0;
    Block wrongMagic = FreshBlock();
    wrongMagic.header.magic ^= 1;
    EXPECT_FALSE(RemoteFrameHeaderUsable(&wrongMagic.header, RemoteFrameMappingSize));
    EXPECT_EQ(ReadRemoteFrame(&wrongMagic.header, 1, &w, &h), RemoteFrameCorrupt);

    Block otherVersion = FreshBlock();
    otherVersion.header.version = RemoteFrameVersion + 1;
    EXPECT_FALSE(RemoteFrameHeaderUsable(&otherVersion.header, RemoteFrameMappingSize));
    EXPECT_EQ(ReadRemoteFrame(&otherVersion.header, 1, &w, &h), RemoteFrameCorrupt);

    Block otherLayout = FreshBlock();
    otherLayout.header.headerSize = RemoteFrameHeaderSize * 2;
    EXPECT_FALSE(RemoteFrameHeaderUsable(&otherLayout.header, RemoteFrameMappingSize));
}

TEST(RemoteFrameSize, OuterSizesUpToTheLimitFitAndLargerOrEmptyOnesAreRefused) {
    const std::uint32_t capacity = RemoteFramePixelCapacity;
    EXPECT_EQ(RemoteFrameSizeStatus(324, 244, capacity), 0);
    EXPECT_EQ(RemoteFrameSizeStatus(644, 484, capacity), 0);
    EXPECT_EQ(RemoteFrameSizeStatus(1024, 1024, capacity), 0);
    EXPECT_EQ(RemoteFrameSizeStatus(1025, 10, capacity), RemoteFrameTooLarge);
    EXPECT_EQ(RemoteFrameSizeStatus(10, 1025, capacity), RemoteFrameTooLarge);
    EXPECT_EQ(RemoteFrameSizeStatus(0, 244, capacity), RemoteFrameEmpty);
    EXPECT_EQ(RemoteFrameSizeStatus(324, -1, capacity), RemoteFrameEmpty);
    // A block with less room than the full limit refuses what does not fit in it.
    EXPECT_EQ(RemoteFrameSizeStatus(100, 100, 100 * 100 * 4), 0);
    EXPECT_EQ(RemoteFrameSizeStatus(100, 101, 100 * 100 * 4), RemoteFrameTooLarge);
    // Huge sizes must not wrap around in the product.
    EXPECT_EQ(RemoteFrameSizeStatus(0x7FFFFFFFL, 0x7FFFFFFFL, capacity), RemoteFrameTooLarge);
}

TEST(RemoteFrameExchange, AReplyIsReadOnlyForTheRequestItAnswers) {
    Block block = FreshBlock();
    int w = -1, h = -1;
    const std::uint32_t first = PostRemoteRequest(&block.header, 0x1234);
    EXPECT_EQ(block.header.requestWindow, 0x1234u);
    EXPECT_NE(first, 0u);
    EXPECT_EQ(ReadRemoteFrame(&block.header, first, &w, &h), RemoteFrameWaiting);

    PublishRemoteFrame(&block.header, first, RemoteFrameReady, 324, 244);
    EXPECT_EQ(ReadRemoteFrame(&block.header, first, &w, &h), RemoteFrameReady);
    EXPECT_EQ(w, 324);
    EXPECT_EQ(h, 244);

    // The viewer gave up on `first` and asked again: the late reply to `first` is stale.
    const std::uint32_t second = PostRemoteRequest(&block.header, 0x1234);
    EXPECT_NE(second, first);
    EXPECT_EQ(ReadRemoteFrame(&block.header, second, &w, &h), RemoteFrameWaiting);
    PublishRemoteFrame(&block.header, second, RemoteFramePrintFailed, 324, 244);
    EXPECT_EQ(ReadRemoteFrame(&block.header, second, &w, &h), RemoteFramePrintFailed);
    // "No request" never matches, even against a block that was never answered.
    Block untouched = FreshBlock();
    EXPECT_EQ(ReadRemoteFrame(&untouched.header, 0, &w, &h), RemoteFrameWaiting);

    // The helper prints each request once: once it has answered `second`, a wake-up finds
    // nothing to print until the viewer posts the next request.
    EXPECT_EQ(PendingRemoteRequest(&untouched.header, 0), 0u);
    EXPECT_EQ(PendingRemoteRequest(&block.header, first), second);
    EXPECT_EQ(PendingRemoteRequest(&block.header, second), 0u);
    const std::uint32_t third = PostRemoteRequest(&block.header, 0x1234);
    EXPECT_EQ(PendingRemoteRequest(&block.header, second), third);
}

TEST(RemoteFrameExchange, SequenceNumbersSkipZeroWhenTheyWrap) {
    EXPECT_EQ(NextRemoteSequence(0), 1u);
    EXPECT_EQ(NextRemoteSequence(41), 42u);
    EXPECT_EQ(NextRemoteSequence(0xFFFFFFFFu), 1u);
    Block block = FreshBlock();
    block.header.requestSequence = 0xFFFFFFFFu;
    EXPECT_EQ(PostRemoteRequest(&block.header, 7), 1u);
    EXPECT_EQ(block.header.requestSequence, 1u);
}

TEST(RemoteFrameExchange, ReadyRepliesWithSizesOutsideTheBlockAreNotTrusted) {
    int w = 0, h = 0;
    Block block = FreshBlock();
    const std::uint32_t seq = PostRemoteRequest(&block.header, 1);
    PublishRemoteFrame(&block.header, seq, RemoteFrameReady, 1025, 100);
    EXPECT_EQ(ReadRemoteFrame(&block.header, seq, &w, &h), RemoteFrameCorrupt);
    PublishRemoteFrame(&block.header, seq, RemoteFrameReady, 0, 100);
    EXPECT_EQ(ReadRemoteFrame(&block.header, seq, &w, &h), RemoteFrameCorrupt);
    // Even when the game side raised the capacity written in the block.
    block.header.capacity = 0xFFFFFFFFu;
    PublishRemoteFrame(&block.header, seq, RemoteFrameReady, 4000, 4000);
    EXPECT_EQ(ReadRemoteFrame(&block.header, seq, &w, &h), RemoteFrameCorrupt);
    // Unknown statuses are corrupt, not success.
    PublishRemoteFrame(&block.header, seq, 99, 10, 10);
    EXPECT_EQ(ReadRemoteFrame(&block.header, seq, &w, &h), RemoteFrameCorrupt);
    PublishRemoteFrame(&block.header, seq, -5, 10, 10);
    EXPECT_EQ(ReadRemoteFrame(&block.header, seq, &w, &h), RemoteFrameCorrupt);
}

TEST(RemoteFrameExchange, RepliesMapOntoTheCaptureResults) {
    EXPECT_EQ(RemoteFrameCaptureResult(RemoteFrameReady), 1);
    EXPECT_EQ(RemoteFrameCaptureResult(RemoteFrameNotWindow), 0);
    EXPECT_EQ(RemoteFrameCaptureResult(RemoteFrameEmpty), 0);
    EXPECT_EQ(RemoteFrameCaptureResult(RemoteFrameTooLarge), -4);
    // Everything that leaves no new picture keeps the previous one.
    EXPECT_EQ(RemoteFrameCaptureResult(RemoteFrameWaiting), -3);
    EXPECT_EQ(RemoteFrameCaptureResult(RemoteFramePrintFailed), -3);
    EXPECT_EQ(RemoteFrameCaptureResult(RemoteFrameNoDib), -3);
    EXPECT_EQ(RemoteFrameCaptureResult(RemoteFrameCorrupt), -3);
}

TEST(RemoteFrameWait, TheBoundRunsDownAndSurvivesAWrappingTick) {
    EXPECT_EQ(RemoteWaitLeft(1000, 1000, 50), 50u);
    EXPECT_EQ(RemoteWaitLeft(1000, 1030, 50), 20u);
    EXPECT_EQ(RemoteWaitLeft(1000, 1050, 50), 0u);
    EXPECT_EQ(RemoteWaitLeft(1000, 5000, 50), 0u);
    EXPECT_EQ(RemoteWaitLeft(0xFFFFFFF0u, 0x00000010u, 50), 18u);
    EXPECT_EQ(RemoteWaitLeft(0xFFFFFFF0u, 0x00000030u, 50), 0u);
}

TEST(RemoteFrameImage, OnlyA32BitImageOfExactlyTheFrameSizeIsReused) {
    TestImage image(324, 244, 4, 1296);
    EXPECT_TRUE(CaptureImageFits(image.image, 324, 244));
    EXPECT_FALSE(CaptureImageFits(image.image, 644, 484));
    EXPECT_FALSE(CaptureImageFits(image.image, 324, 245));
    EXPECT_FALSE(CaptureImageFits(nullptr, 324, 244));
    TestImage narrow(324, 244, 2, 656);
    EXPECT_FALSE(CaptureImageFits(narrow.image, 324, 244));
}

TEST(RemoteFrameImage, RowsLandAtThePitchAndLeaveThePaddingAlone) {
    const int w = 5, h = 3;
    std::vector<std::uint32_t> frame(std::size_t(w) * h);
    for (std::size_t i = 0; i < frame.size(); ++i) frame[i] = 0x11000000u + std::uint32_t(i);
    TestImage image(w, h, 4, 32); // 20 bytes of pixels, 12 of padding per row
    CopyPackedRows(reinterpret_cast<const std::uint8_t*>(frame.data()), w, h, image.image);
    for (int y = 0; y < h; ++y) {
        const std::uint8_t* row = ImageRow(image.image, y);
        std::uint32_t first, last;
        std::memcpy(&first, row, 4);
        std::memcpy(&last, row + 16, 4);
        EXPECT_EQ(first, frame[std::size_t(y) * w]) << "row " << y;
        EXPECT_EQ(last, frame[std::size_t(y) * w + 4]) << "row " << y;
        for (int b = 20; b < 32; ++b) EXPECT_EQ(row[b], 0xEE) << "row " << y << " byte " << b;
    }
    EXPECT_EQ(image.image->width, 5u); // the header itself is not written
    EXPECT_EQ(image.image->imageType, ImageTypeTag);
}

TEST(RemoteFrameHelperFile, TheNameFollowsTheBytesAndThePointerSize) {
    const std::string a = "MZ library one", b = "MZ library two";
    char nameA[64], nameA2[64], nameB[64], nameA32[64];
    HelperFileName(a.data(), a.size(), 64, nameA, sizeof nameA);
    HelperFileName(a.data(), a.size(), 64, nameA2, sizeof nameA2);
    HelperFileName(b.data(), b.size(), 64, nameB, sizeof nameB);
    HelperFileName(a.data(), a.size(), 32, nameA32, sizeof nameA32);
    EXPECT_STREQ(nameA, nameA2);
    EXPECT_STRNE(nameA, nameB);
    EXPECT_STRNE(nameA, nameA32);
    EXPECT_EQ(std::string(nameA).rfind("lmp_capture64_", 0), 0u);
    EXPECT_EQ(std::string(nameA).substr(std::strlen(nameA) - 4), ".dll");
    // A short buffer is cut, never overrun.
    char tiny[8];
    std::memset(tiny, 'x', sizeof tiny);
    HelperFileName(a.data(), a.size(), 64, tiny, 6);
    EXPECT_EQ(std::strlen(tiny), 5u);
    EXPECT_EQ(tiny[6], 'x');
}

TEST(RemoteFrameHelperFile, ObjectNamesDifferPerGameAndPerKind) {
    char a[96], b[96], c[96];
    RemoteObjectName(1234, "map", a, sizeof a);
    RemoteObjectName(1235, "map", b, sizeof b);
    RemoteObjectName(1234, "done", c, sizeof c);
    EXPECT_STREQ(a, "Local\\LumenpaneCapture.1234.map");
    EXPECT_STRNE(a, b);
    EXPECT_STRNE(a, c);
}

TEST(RemoteFrameExchange, APrintAskedAheadIsDueJustBeforeTheViewerWakesAndNeverHeldLong) {
    constexpr double perMs = 10000.0; // a 10 MHz counter
    // Asked 17 ms ahead, a print of 0.3 ms is due 1.3 ms before the wake-up; a print longer
    // than the whole sleep is due at once.
    const std::int64_t due = RemoteDueTime(1000000, perMs, 17, 3000);
    EXPECT_EQ(due, 1000000 + 170000 - 10000 - 3000);
    EXPECT_EQ(RemoteDueTime(1000000, perMs, 17, 200000), 1000000);

    Block block = FreshBlock();
    const std::uint32_t seq = PostRemoteRequest(&block.header, 0x1234, due);
    EXPECT_EQ(PendingRemoteRequest(&block.header, 0), seq);
    // Seen at once: wait the whole milliseconds up to the due time, then print.
    EXPECT_EQ(RemotePrintDelayMs(&block.header, 1000000, 1000000, perMs), 15u);
    EXPECT_EQ(RemotePrintDelayMs(&block.header, due - 9999, 1000000, perMs), 0u);
    EXPECT_EQ(RemotePrintDelayMs(&block.header, due + 1, 1000000, perMs), 0u);
    // A request without a due time prints at once.
    PostRemoteRequest(&block.header, 0x1234);
    EXPECT_EQ(RemotePrintDelayMs(&block.header, 1000000, 1000000, perMs), 0u);
    // A due time far ahead (a corrupt block) is held at most the limit after it was seen.
    block.header.requestDue = std::int64_t(1) << 62;
    EXPECT_EQ(RemotePrintDelayMs(&block.header, 1000000, 1000000, perMs), RemotePrintDelayLimitMs);
    EXPECT_EQ(RemotePrintDelayMs(&block.header, 1000000 + 40 * 10000, 1000000, perMs), 10u);
    EXPECT_EQ(RemotePrintDelayMs(&block.header, 1000000 + 50 * 10000, 1000000, perMs), 0u);
}

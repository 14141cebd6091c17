// The marked rows taken for presentation: all of them for GDI, only those that differ from
// what is shown for the flip road, at each pixel size.
#include "runtime/frame_buffer.h"
#include "window/present_rows.h"
#include "window/surface.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

struct Case {
    const char* name;
    int depth;
    bool changedOnly;
    int firstRow, endRow;
};

// Four rows of three pixels as shown; rows 1 to 3 marked, row 2 drawn anew.
TEST(PresentRows, MarkedRowsAreTakenOrLeftAsTheyDifferFromWhatIsShown) {
    const Case cases[] = {
        {"GDI: every marked row", 32, false, 1, 4},
        {"flip: only the changed row", 32, true, 2, 3},
        {"flip, 16-bit: compared as shown", 16, true, 2, 3},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_EQ(OpenSurface(3, 4, c.depth, 1, 0, 0), 0);
        std::vector<std::uint32_t> shown(4 * 3, 0);
        int first = -7, end = -7;
        LockSurface();
        UnlockSurface(-1, -1);
        ASSERT_TRUE(CopyMarkedRows(shown.data(), &first, &end)); // the opened picture shown
        const std::uint32_t before = shown[2 * 3];
        LockSurface();
        Surface.frameBuffer[2 * Surface.pitch + 1] ^= 0xff;
        UnlockSurface(1, 3);
        EXPECT_TRUE(CopyMarkedRows(shown.data(), &first, &end, c.changedOnly));
        EXPECT_EQ(first, c.firstRow);
        EXPECT_EQ(end, c.endRow);
        EXPECT_NE(shown[2 * 3], before) << "the changed row is shown";
        EXPECT_EQ(std::vector<std::uint8_t>(Surface.rowMarks, Surface.rowMarks + 4),
                  std::vector<std::uint8_t>(4, 0));
        LockSurface();
        UnlockSurface(-1, -1);
        EXPECT_EQ(CopyMarkedRows(shown.data(), &first, &end, c.changedOnly), !c.changedOnly)
            << "the same picture again";
        CloseSurface();
    }
}

} // namespace

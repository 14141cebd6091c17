// The marked rows taken for presentation: all of them for GDI, only those that differ from
// what is shown for the flip road, at each pixel size.
#include "runtime/frame_buffer.h"
#include "window/present_rows.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace {

struct Case {
    const char* name;
    int bytesPerPixel;
    bool changedOnly;
    bool taken; // any row
    int firstRow, endRow;
};

// Four rows of three pixels: row 0 unmarked and different, rows 1 and 3 marked and as shown,
// row 2 marked and different.
TEST(PresentRows, MarkedRowsAreTakenOrLeftAsTheyDifferFromWhatIsShown) {
    const Case cases[] = {
        {"GDI: every marked row", 4, false, true, 1, 4},
        {"flip: only the changed row", 4, true, true, 2, 3},
        {"flip, 16-bit: compared as shown", 2, true, true, 2, 3},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const SurfaceState saved = Surface;
        std::vector<std::uint8_t> frame(4 * 3 * 4, 0), marks{0, 1, 1, 1};
        std::vector<std::uint32_t> shown(4 * 3, 0);
        Surface.width = 3;
        Surface.height = 4;
        Surface.bytesPerPixel = c.bytesPerPixel;
        Surface.depth = c.bytesPerPixel * 8;
        Surface.pitch = 3 * c.bytesPerPixel;
        Surface.frameBuffer = frame.data();
        Surface.rowMarks = marks.data();
        frame[0] = frame[2 * Surface.pitch + 1] = 0xff; // rows 0 and 2 differ from black
        int first = -7, end = -7;
        EXPECT_EQ(CopyMarkedRows(shown.data(), &first, &end, c.changedOnly), c.taken);
        EXPECT_EQ(first, c.firstRow);
        EXPECT_EQ(end, c.endRow);
        EXPECT_EQ(marks, (std::vector<std::uint8_t>{0, 0, 0, 0}));
        EXPECT_EQ(shown[0], 0u) << "an unmarked row is left alone";
        EXPECT_NE(shown[2 * 3] | shown[2 * 3 + 1], 0u) << "the changed row is shown";
        marks.assign({1, 1, 1, 1});
        frame[0] = 0;
        EXPECT_EQ(CopyMarkedRows(shown.data(), &first, &end, c.changedOnly), !c.changedOnly)
            << "the same picture again";
        Surface = saved;
    }
}

} // namespace

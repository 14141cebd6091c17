// Where the 640x480 frame goes in the client area for each fit, and how the value read
// from lumenpane.ini is understood.
#include "program/settings.h"
#include "window/display_fit.h"
#include "window/framed_placement.h"

#include <gtest/gtest.h>

namespace {

struct FitCase {
    int clientWidth, clientHeight;
    FitRect aspect, integer;
};

// Worked by hand: aspect s = min(W / 640, H / 480), sides round(640 s) x round(480 s),
// offsets halved and rounded down; integer k = min(W div 640, H div 480).
constexpr FitCase Cases[] = {
    {640, 480, {0, 0, 640, 480}, {0, 0, 640, 480}},           // the window itself
    {1024, 768, {0, 0, 1024, 768}, {192, 144, 640, 480}},     // 4:3
    {1920, 1080, {240, 0, 1440, 1080}, {320, 60, 1280, 960}}, // 16:9
    {2560, 1440, {320, 0, 1920, 1440}, {320, 0, 1920, 1440}}, // 16:9, k = 3 fills the height
    {1366, 768, {171, 0, 1024, 768}, {363, 144, 640, 480}},   // 16:9, odd bar
    {1280, 800, {106, 0, 1067, 800}, {320, 160, 640, 480}},   // 16:10, 1066.67 rounds up
    {1680, 1050, {140, 0, 1400, 1050}, {200, 45, 1280, 960}}, // 16:10
    {2560, 1080, {560, 0, 1440, 1080}, {640, 60, 1280, 960}}, // 21:9
    {3440, 1440, {760, 0, 1920, 1440}, {760, 0, 1920, 1440}}, // 21:9
    {1080, 1920, {0, 555, 1080, 810}, {220, 720, 640, 480}},  // portrait
    {320, 200, {26, 0, 267, 200}, {26, 0, 267, 200}},         // smaller: integer as aspect
    {639, 480, {0, 0, 639, 479}, {0, 0, 639, 479}},           // one pixel short of 1x
    {1, 1, {0, 0, 1, 1}, {0, 0, 1, 1}},
};

TEST(DisplayFit, RectanglesOverClientSizes) {
    for (const FitCase& c : Cases) {
        SCOPED_TRACE(testing::Message() << c.clientWidth << "x" << c.clientHeight);
        const FitRect whole{0, 0, c.clientWidth, c.clientHeight};
        EXPECT_EQ(FitFrame(DisplayFit::Stretch, c.clientWidth, c.clientHeight, 640, 480), whole);
        EXPECT_EQ(FitFrame(DisplayFit::Aspect, c.clientWidth, c.clientHeight, 640, 480), c.aspect);
        EXPECT_EQ(FitFrame(DisplayFit::Integer, c.clientWidth, c.clientHeight, 640, 480),
                  c.integer);
    }
    // A minimised window has no client area: nothing to draw, whatever the fit.
    for (DisplayFit fit : {DisplayFit::Stretch, DisplayFit::Aspect, DisplayFit::Integer})
        EXPECT_EQ(FitFrame(fit, 0, 0, 640, 480), FitRect{});
}

TEST(DisplayFit, ValuesReadFromTheFile) {
    std::string line = "stale";
    for (const char* value : {"", "  ", "stretch", "STRETCH", static_cast<const char*>(nullptr)}) {
        EXPECT_EQ(InterpretFitValue(value, &line), DisplayFit::Stretch) << (value ? value : "null");
        EXPECT_EQ(line, "");
    }
    EXPECT_EQ(InterpretFitValue(" Aspect\t", &line), DisplayFit::Aspect);
    EXPECT_EQ(InterpretFitValue("inTEGer ", &line), DisplayFit::Integer);
    EXPECT_EQ(line, "");

    // Unknown: stretch, and one line that names the value as written (trimmed).
    for (const char* value : {"zoom", "aspect ; keep the shape", "integers", "4:3"}) {
        EXPECT_EQ(InterpretFitValue(value, &line), DisplayFit::Stretch) << value;
        EXPECT_NE(line.find(std::string("\"") + value + "\""), std::string::npos) << line;
        EXPECT_EQ(line.find('\n'), std::string::npos);
    }
    EXPECT_EQ(InterpretFitValue(" Zoom ", nullptr), DisplayFit::Stretch);

    // The scaling key reads the same way: nearest unless it says sharp.
    EXPECT_EQ(InterpretScalingValue(" Sharp ", &line), DisplayScaling::Sharp);
    EXPECT_EQ(InterpretScalingValue("", &line), DisplayScaling::Nearest);
    EXPECT_EQ(line, "");
    EXPECT_EQ(InterpretScalingValue("smooth", &line), DisplayScaling::Nearest);
    EXPECT_NE(line.find("scaling \"smooth\""), std::string::npos) << line;

    // The window's size: 1, 2 to 8 or largest; anything else is 1, named in one line.
    EXPECT_EQ(InterpretWindowValue(" Largest", &line), LargestFramedMultiple);
    EXPECT_EQ(InterpretWindowValue("08 ", &line), 8);
    EXPECT_EQ(InterpretWindowValue("9", &line), 1);
    EXPECT_EQ(line, "lumenpane.ini: unknown window \"9\" in [display], using 1");
}

} // namespace

// The grid chosen for an area, by hand: with Integer the N of the largest whole multiple
// (the larger N on a tie), otherwise the largest N whose frame fits.
TEST(DisplayFit, GridOverAreasAndFits) {
    struct GridCase {
        int width, height, maxGrid, integer, fitting;
    };
    const GridCase cases[] = {
        {1920, 1080, 4, 4, 4}, // 1280x960 at 1x ties 640x480 at 2x
        {2560, 1440, 4, 3, 4}, // 960x720 at 2x ties 640x480 at 3x; 1280x960 fits
        {1280, 720, 3, 3, 3},  // 960x720 fills the height
        {1280, 720, 4, 3, 3},  // 1280x960 does not fit
        {1280, 800, 4, 3, 3},  // a handheld
        {640, 480, 4, 2, 2},   // a window=1 window stays at 2
        {959, 720, 4, 2, 2},   // one pixel short of 960x720
        {3840, 2160, 4, 3, 4}, // 960x720 at 3x is wider than 1280x960 at 2x
        {1920, 1080, 2, 2, 2}, // the default grid
        {1920, 1080, 9, 4, 4}, // past the largest grid
        {300, 200, 4, 2, 2},   // nothing fits
    };
    for (const GridCase& c : cases) {
        EXPECT_EQ(ChooseGrid(DisplayFit::Integer, c.maxGrid, c.width, c.height), c.integer)
            << c.width << "x" << c.height << " grid " << c.maxGrid;
        for (DisplayFit fit : {DisplayFit::Stretch, DisplayFit::Aspect})
            EXPECT_EQ(ChooseGrid(fit, c.maxGrid, c.width, c.height), c.fitting)
                << c.width << "x" << c.height << " grid " << c.maxGrid;
    }
}

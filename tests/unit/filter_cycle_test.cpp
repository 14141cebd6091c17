// The F8 cycle that [display] filters= lists, and the starter's count over it: for every
// list, the presses the starter makes for a count land where that many F8 presses land.
#include "pixels/filter_table.h"
#include "starter/filter_count.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <iterator>

namespace {

int Pressed(const FilterCycle& cycle, int presses) {
    FilterMode filter = FilterOff;
    for (int i = 0; i < presses; ++i) filter = NextFilterMode(cycle, filter);
    return filter;
}

TEST(FilterCycle, ListsAndTheStartersCountAgree) {
    const struct {
        const char* value;
        std::vector<int> filters; // 0 off, 1 scale2x, 2 hq2x, 3 mmpx
        int logLines;
    } cases[] = {
        {"", {0, 1, 2}, 0},
        {" , ,", {0, 1, 2}, 0},
        {"off, scale2x, hq2x, mmpx", {0, 1, 2, 3}, 0},
        {"mmpx", {0, 3}, 0},
        {" HQ2X ,Off,\tMmpx ", {0, 2, 3}, 0},
        {"scale2x, scale2x,SCALE2X, off, off", {0, 1}, 0},
        {"mmpx, xbrz, scale2x,, hq4x", {0, 3, 1}, 2},
        {"bogus", {0}, 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.value);
        std::vector<std::string> log;
        const FilterCycle cycle = ReadFilterCycle(c.value, &log);
        EXPECT_EQ(std::vector<int>(cycle.modes, cycle.modes + cycle.count), c.filters);
        EXPECT_EQ(int(log.size()), c.logLines);
        EXPECT_EQ(CycleLengthOf(c.value), cycle.count);
        for (int count = -2; count <= 11; ++count)
            EXPECT_EQ(Pressed(cycle, PressesForCount(count, CycleLengthOf(c.value))),
                      Pressed(cycle, count < 0 ? 0 : count))
                << count;
        EXPECT_EQ(PressesForCount(1000003, CycleLengthOf(c.value)), (1000002 % cycle.count) + 1);
    }
    std::vector<std::string> log;
    ReadFilterCycle("scale2x, Xbr ", &log);
    EXPECT_EQ(log, std::vector<std::string>{
                       "lumenpane.ini: unknown filter \"Xbr\" in filters in [display], left out"});
    // A filter not in the cycle steps to off.
    EXPECT_EQ(NextFilterMode(ReadFilterCycle("mmpx", nullptr), FilterHq2x), FilterOff);
}

TEST(FilterCycle, StarterReadsTheKeyFromLumenpaneIni) {
    std::FILE* file = std::tmpfile();
    ASSERT_NE(file, nullptr);
    std::fputs("[keys]\nfilters=hq2x\n[ Display ]\r\n  FILTERS = mmpx, off \r\n"
               "filters=scale2x\n[display]\nfilters=hq2x\n",
               file);
    std::rewind(file);
    EXPECT_EQ(IniValue(file, "display", "filters"), "mmpx, off");
    std::rewind(file);
    EXPECT_EQ(IniValue(file, "display", "fit"), "");
    std::fclose(file);
    EXPECT_EQ(ReadCycleLength("no such folder/lumenpane.ini"), 3);
}

} // namespace

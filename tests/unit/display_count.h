// Counting game frames at presentation: a display that shows, at each refresh, the newest
// picture ready by then. Which frames never reached the screen, and which stayed on it for
// two game periods or more.
#pragma once

#include <cmath>
#include <utility>
#include <vector>

struct DisplayCount {
    int frames = 0, skipped = 0, repeated = 0;
};

// `ready`: when each new picture could be shown and the game frame it holds, in order; the
// display refreshes every refreshPeriod over [from, to); all in one unit of time.
inline DisplayCount CountAtDisplay(const std::vector<std::pair<double, long>>& ready, double from,
                                   double to, double refreshPeriod, double gamePeriod) {
    std::vector<long> shown;
    std::size_t next = 0;
    long current = -1;
    for (double v = from; v < to; v += refreshPeriod) {
        while (next < ready.size() && ready[next].first <= v) current = ready[next++].second;
        shown.push_back(current);
    }
    DisplayCount count;
    if (shown.empty()) return count;
    count.frames = int(shown.back() - shown.front()) + 1;
    const int twoPeriods = int(std::ceil(2 * gamePeriod / refreshPeriod - 1e-9));
    for (std::size_t i = 0; i < shown.size();) {
        std::size_t j = i;
        while (j < shown.size() && shown[j] == shown[i]) ++j;
        if (i > 0 && j < shown.size()) { // runs cut by the ends are not judged
            count.skipped += int(shown[j] - shown[i]) - 1;
            if (int(j - i) >= twoPeriods) ++count.repeated;
        }
        i = j;
    }
    return count;
}

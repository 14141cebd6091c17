#include "window/present_cadence.h"

#include <algorithm>
#include <cmath>

PresentCadence::Next PresentCadence::NextWait(bool shownLast, bool minimised, double now) const {
    if (inStep && !shownLast) return Next::RowsWhileIdle;
    if (WaitForRefresh(now) && !minimised) return Next::Refresh;
    return inStep ? Next::RowsOrCadence : Next::Cadence;
}

bool PresentCadence::LooksLikeAWait(double tookSeconds, double now, double refreshPeriod) const {
    if (refreshPeriod <= 0.0) return tookSeconds >= QuickSeconds;
    if (tookSeconds >= std::min(QuickSeconds, QuickShare * refreshPeriod)) return true;
    const double spacing = now - lastReturn_;
    const double periods = std::round(spacing / refreshPeriod);
    return lastReturn_ > 0.0 && periods >= 1 &&
           std::fabs(spacing - periods * refreshPeriod) <= GridTolerance * refreshPeriod;
}

void PresentCadence::Waited(bool succeeded, double tookSeconds, double now, double refreshPeriod) {
    const bool waited = succeeded && LooksLikeAWait(tookSeconds, now, refreshPeriod);
    lastReturn_ = succeeded ? now : 0.0;
    if (waited) {
        available_ = true;
        doubtful_ = 0;
        return;
    }
    if (!succeeded || ++doubtful_ >= 2) {
        available_ = false;
        doubtful_ = 0;
        retryAt_ = now + RetrySeconds;
    }
}

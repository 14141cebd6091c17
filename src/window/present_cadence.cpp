#include "window/present_cadence.h"

void PresentCadence::Waited(bool succeeded, double tookSeconds, double now) {
    const bool quick = succeeded && tookSeconds < QuickSeconds;
    if (succeeded && !quick) {
        available_ = true;
        quick_ = 0;
        return;
    }
    if (!succeeded || ++quick_ >= 2) {
        available_ = false;
        quick_ = 0;
        retryAt_ = now + RetrySeconds;
    }
}

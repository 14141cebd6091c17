// The pacing setting and the schedule that follows the game's frames (see pacing.h).
#include "frame/pacing.h"

#include <algorithm>
#include <cmath>

FramePacingRecord FramePacing;

double GameFrameSchedule::NextSample(double now) {
    const double earliest = now + (lookSoon_ ? ProbeGap : MinimumGap);
    if (!started_) {
        started_ = true;
        target_ = now;
        return target_;
    }
    if (target_ >= earliest) return target_;
    if (kind_ == Kind::Probe) { // too late to look before the change: take the frame itself
        kind_ = Kind::Main;
        target_ = change_ + offset_;
        return NextSample(now);
    }
    // A main sample may come late as long as the frame after it has not begun; past that (an
    // overrun) the frames missed meanwhile are lost and it aims at the next one to come.
    if (kind_ == Kind::Main && earliest >= change_ + period_ - Lead) {
        const double passed = std::ceil((earliest - change_ - offset_) / period_);
        skipped_ += long(passed);
        change_ += passed * period_;
        target_ = std::max(change_ + offset_, earliest);
        return target_;
    }
    target_ = earliest;
    return target_;
}

void GameFrameSchedule::Sampled(double began, double ended, bool newPicture) {
    lookSoon_ = !newPicture && kind_ == Kind::Probe;
    if (newPicture) {
        stale_ = 0;
        caught_ = 0.0;
        switch (kind_) {
        case Kind::Search:
            if (haveStale_)
                Lock((staleAt_ + ended) / 2);
            else
                target_ = began + period_ / 2; // the first picture: no change seen yet
            break;
        case Kind::Later:
            Correct((staleAt_ + ended) / 2 - change_, true);
            break;
        case Kind::Main:
            FollowJitter(false);
            caught_ = change_;
            change_ += period_;
            PlanMain();
            break;
        case Kind::Probe: // the change came before the probe: it comes earlier than predicted
            Correct(-Step, false);
            break;
        }
        haveStale_ = false;
        return;
    }
    ++stale_;
    haveStale_ = true;
    staleAt_ = began;
    const bool idle = stale_ >= IdleAfterStale;
    switch (kind_) {
    case Kind::Search:
        target_ = began + (idle ? period_ : period_ / 2);
        break;
    case Kind::Main: // the change comes later than predicted: look again soon
        if (!idle) {
            ++repeated_;
            // A game steady enough for a short offset: its change is a little late, looked for
            // closely so that the prediction moves to it exactly.
            const bool close = offset_ < StartOffset;
            FollowJitter(true);
            if (close) {
                kind_ = Kind::Later;
                lookSoon_ = true;
                target_ = began + LaterLook;
                break;
            }
        }
        [[fallthrough]];
    case Kind::Later:
        kind_ = idle ? Kind::Search : Kind::Later;
        target_ = began + (idle ? period_ : period_ / 4);
        break;
    case Kind::Probe:
        kind_ = Kind::Main;
        target_ = change_ + offset_;
        break;
    }
}

void GameFrameSchedule::FollowJitter(bool late) {
    if (late && frames_ < SettleFrames) return; // the lock itself still settling
    if (late) {
        ++misses_;
        goodRun_ = 0;
        offset_ = std::min(offset_ + 2 * OffsetStep, StartOffset);
        return;
    }
    if (++goodRun_ < (misses_ >= JitterMisses ? SettledRun : FirstRun)) return;
    goodRun_ = 0;
    offset_ = std::max(offset_ - OffsetStep, MinOffset);
}

void GameFrameSchedule::Lock(double change) {
    caught_ = change;
    change_ = change + period_;
    frames_ = 0;
    sinceCorrection_ = 0;
    PlanMain();
}

// `error` is how much later than change_ the change came: the prediction follows it. A main
// sample found too early after many frames also tells of a period a little too short: the
// period takes a sixteenth of the drift per frame (the measurement is coarse). A probe says only
// that the change came earlier, not by how much: it moves the prediction by Step and leaves the
// period.
void GameFrameSchedule::Correct(double error, bool measured) {
    if (measured && sinceCorrection_ >= 30)
        period_ = std::clamp(period_ + error / sinceCorrection_ / 16, 1.0 / 75.0, 1.0 / 20.0);
    sinceCorrection_ = 0;
    caught_ = change_ + error;
    change_ = caught_ + period_;
    PlanMain();
}

void GameFrameSchedule::PlanMain() {
    ++sinceCorrection_;
    if (++frames_ % ProbeEvery == 0) {
        kind_ = Kind::Probe;
        target_ = change_ - Lead;
    } else {
        kind_ = Kind::Main;
        target_ = change_ + offset_;
    }
}

// The full meter's figures (frame_meter.h).
#include "frame/frame_meter.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

FrameMeterRecord FrameMeterState;

void FrameMeter::NewPicture(double now) {
    seen_[seenNext_] = now;
    seenNext_ = (seenNext_ + 1) % Slots;
}

void FrameMeter::Presented(double seenAt, double shownAt) {
    shownAt_[shownNext_] = shownAt;
    delayMs_[shownNext_] = (shownAt - seenAt) * 1000.0;
    shownNext_ = (shownNext_ + 1) % Slots;
}

void FrameMeter::Note(const Event& event) {
    events_[eventNext_] = event;
    eventNext_ = (eventNext_ + 1) % EventSlots;
}

void FrameMeter::Skipped(double now, long frames) {
    if (frames > 0) Note({now, frames, 0});
}

void FrameMeter::Repeated(double now, long frames) {
    if (frames > 0) Note({now, 0, frames});
}

namespace {

// Slot times of 0 are empty; a real Timer() reading is never 0.
bool Within(double t, double now, double seconds) {
    return t > 0.0 && t >= now - seconds && t <= now;
}

} // namespace

int FrameMeter::PicturesPerSecond(double now) const {
    return int(
        std::count_if(seen_, seen_ + Slots, [now](double t) { return Within(t, now, 1.0); }));
}

double FrameMeter::MedianDelayMs(double now) {
    int n = 0;
    for (int i = 0; i < Slots; ++i)
        if (Within(shownAt_[i], now, 1.0)) scratch_[n++] = delayMs_[i];
    if (n == 0) return -1.0;
    std::nth_element(scratch_, scratch_ + n / 2, scratch_ + n);
    const double upper = scratch_[n / 2];
    if (n % 2) return upper;
    return (*std::max_element(scratch_, scratch_ + n / 2) + upper) / 2;
}

long FrameMeter::Recent(double now, long Event::*field) const {
    long sum = 0;
    for (const Event& event : events_)
        if (Within(event.at, now, CountSeconds)) sum += event.*field;
    return sum;
}

long FrameMeter::SkippedRecently(double now) const {
    return Recent(now, &Event::skipped);
}

long FrameMeter::RepeatedRecently(double now) const {
    return Recent(now, &Event::repeated);
}

namespace {

// A figure the viewer cannot tell (the overlay's font is ASCII: a dash).
constexpr const char* NoFigure = "-";

} // namespace

void MeterText(double now, bool smooth, char* text, int capacity) {
    FrameMeter& meter = FrameMeterState.figures;
    char delay[24], counts[48];
    const double delayMs = meter.MedianDelayMs(now);
    if (delayMs < 0)
        std::snprintf(delay, sizeof delay, "%s", NoFigure);
    else
        std::snprintf(delay, sizeof delay, "%.1f ms", delayMs);
    if (smooth)
        std::snprintf(counts, sizeof counts, "%ld skipped, %ld repeated",
                      meter.SkippedRecently(now), meter.RepeatedRecently(now));
    else
        std::snprintf(counts, sizeof counts, "%s skipped, %s repeated", NoFigure, NoFigure);
    std::snprintf(text, std::size_t(capacity), "Game: %d fps\nDelay: %s\n10 s: %s",
                  meter.PicturesPerSecond(now), delay, counts);
}

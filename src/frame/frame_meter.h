// The figures of the full meter (lumenpane.ini, [display] meter=full): the game's own frame
// rate, the viewer's delay from seeing a new picture to presenting it, and the game frames the
// smooth pacing skipped and repeated.
#pragma once

enum class Meter { Fps, Full };

// Kept over the last second (pictures, delays) and the last ten seconds (skips and repeats),
// in fixed rings: no allocation. A window of a second or ten ends at `now` and takes in its
// beginning. Times are Timer() seconds, never going back.
class FrameMeter {
  public:
    static constexpr int Slots = 256;       // more than a second of new pictures at any game's rate
    static constexpr int EventSlots = 2048; // more than ten seconds of skips and repeats
    static constexpr double CountSeconds = 10.0;

    // A new picture was seen (printed) at `now`.
    void NewPicture(double now);
    // The window thread presented the picture seen at `seenAt` at `shownAt`.
    void Presented(double seenAt, double shownAt);
    // Frames the pacing skipped or repeated, noted at `now`.
    void Skipped(double now, long frames);
    void Repeated(double now, long frames);

    // New pictures in the second up to `now`.
    int PicturesPerSecond(double now) const;
    // The median delay in ms of the pictures presented in the second up to `now`; < 0: none.
    double MedianDelayMs(double now);
    // Frames skipped or repeated in the ten seconds up to `now`.
    long SkippedRecently(double now) const;
    long RepeatedRecently(double now) const;

  private:
    struct Event {
        double at = 0.0; // 0: an empty slot
        long skipped = 0, repeated = 0;
    };
    void Note(const Event& event);
    long Recent(double now, long Event::*field) const;

    double seen_[Slots] = {};
    int seenNext_ = 0;
    double shownAt_[Slots] = {};
    double delayMs_[Slots] = {};
    int shownNext_ = 0;
    double scratch_[Slots] = {};
    Event events_[EventSlots];
    int eventNext_ = 0;
};

// The meter as the render thread keeps it. Threads: `kind` and `smooth` are set by the main
// thread at start-up before the render thread starts; the rest is the render thread's alone.
struct FrameMeterRecord {
    Meter kind = Meter::Fps;
    FrameMeter figures;
    double lastShownSeenAt = 0.0; // the latest presented picture's seenAt already counted
    long skippedSeen = 0, repeatedSeen = 0;
};

extern FrameMeterRecord FrameMeterState;

// The full meter's lines, apart by '\n', into text; `smooth` tells whether the pacing can count
// skipped and repeated frames.
void MeterText(double now, bool smooth, char* text, int capacity);

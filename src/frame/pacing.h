// How the render thread paces its passes: the fixed sleep, or in step with the game's own
// frames (lumenpane.ini, [display] pacing=fixed|smooth).
#pragma once

enum class Pacing { Fixed, Smooth };

// When to sample the game's picture so that every frame the game draws is caught once, as
// soon after it appears as the game's own timing allows, without knowing the game's frame
// rate beforehand.
//
// Until it has seen a change, the schedule samples every half period. A new picture found
// right after an old one places the change between the two samples; from then on the
// schedule predicts each next change one period on and samples the offset after it (the main
// sample), so every picture is taken at the same moment of its frame. Two things keep the
// prediction true: a main sample that still finds the old picture shows the change comes
// later (the next sample follows LaterLook later, further ones a quarter period apart, and the
// prediction moves to the change they bracket), and
// every ProbeEvery frames a probe Lead before the predicted change that already finds the new
// picture shows it comes earlier (the prediction moves back by Step). A main sample found
// too early after a long run of good ones also lengthens the period a little. A picture that stays
// the same for a while (a frozen game) makes the schedule sample once a period until the game moves
// again.
//
// The offset follows the game's frame-time jitter: it starts at StartOffset, shrinks by
// OffsetStep after each run of good main samples down to MinOffset, and grows by twice that
// whenever a main sample comes before the change (but in the first SettleFrames after a lock,
// whose misses only place the lock). The runs are short until JitterMisses such misses (a
// steady game reaches the least offset within seconds, its first misses only correcting the
// prediction) and long after, so that a jittery game settles where about one frame in
// SettledRun comes late.
//
// Times are Timer() seconds. Threads: the render thread's alone.
class GameFrameSchedule {
  public:
    static constexpr double StartPeriod = 1.0 / 60.0;
    static constexpr double StartOffset = 0.004; // main sample after the predicted change
    static constexpr double MinOffset = 0.001;
    static constexpr double OffsetStep = 0.0005;
    static constexpr int FirstRun = 30;         // good main samples per step until a miss
    static constexpr int SettledRun = 240;      // and after
    static constexpr int SettleFrames = 120;    // after a lock: misses that only place it
    static constexpr int JitterMisses = 3;      // misses that tell of a jittery game
    static constexpr double Lead = 0.001;       // probe before the predicted change
    static constexpr double Step = 0.0005;      // a probe's correction
    static constexpr int ProbeEvery = 8;        // frames
    static constexpr double MinimumGap = 0.003; // no two passes closer than this,
    static constexpr double ProbeGap = 0.0005;  // but a look right after an old picture
    static constexpr double LaterLook = 0.001;  // after a main sample that found it
    static constexpr int IdleAfterStale = 6;    // samples without change before idling

    // The time of the next sample: never earlier than now + MinimumGap (ProbeGap after a probe
    // or a main sample that found the old picture, so that the frame is still taken soon after
    // its change); a main sample whose frame has passed (an overrun) moves on to the next frame
    // to come.
    double NextSample(double now);
    // What the sample found: began and ended bracket the print of the picture it compared.
    void Sampled(double began, double ended, bool newPicture);

    double Period() const { return period_; }
    double Offset() const { return offset_; }
    // When the change that the latest new picture showed came, as the schedule predicted or
    // placed it; 0 while the schedule knows no such moment.
    double CaughtChange() const { return caught_; }
    bool Locked() const { return kind_ == Kind::Main || kind_ == Kind::Probe; }
    // Since the start: frames the schedule expected and never sampled (passed over by an
    // overrun), and main samples that found the old picture again (on screen a period longer).
    long Skipped() const { return skipped_; }
    long Repeated() const { return repeated_; }

  private:
    enum class Kind { Search, Main, Probe, Later };

    void Lock(double change);
    void Correct(double error, bool measured);
    void PlanMain();
    void FollowJitter(bool late);

    double period_ = StartPeriod;
    double offset_ = StartOffset;
    double change_ = 0.0; // the predicted time of the change the next main sample takes
    double caught_ = 0.0;
    Kind kind_ = Kind::Search;
    double target_ = 0.0;
    bool started_ = false;
    bool haveStale_ = false; // the latest sample found the old picture
    double staleAt_ = 0.0;   // when that sample's print began
    int stale_ = 0;
    int frames_ = 0;          // caught since the lock
    int sinceCorrection_ = 0; // frames since the prediction was last corrected
    int goodRun_ = 0;         // main samples in a row that found the new picture
    int misses_ = 0;          // main samples that came before their change
    bool lookSoon_ = false;   // the next sample may follow the last one by ProbeGap
    long skipped_ = 0, repeated_ = 0;
};

// The render thread's pacing. Threads: `pacing` is set by the main thread at start-up, before
// the render thread starts; afterwards the record is the render thread's alone.
struct FramePacingRecord {
    Pacing pacing = Pacing::Fixed;
    GameFrameSchedule schedule;     // the smooth pacing's samples
    bool sampledNewPicture = false; // the latest pass's capture found a new picture
};

extern FramePacingRecord FramePacing;

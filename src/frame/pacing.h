// How the render thread paces its passes: the fixed sleep, or in step with the game's own
// frames (lumenpane.ini, [display] pacing=fixed|smooth).
#pragma once

enum class Pacing { Fixed, Smooth };

// When to sample the game's picture so that every frame the game draws is caught once, a
// steady moment after it appears, without knowing the game's frame rate beforehand.
//
// Until it has seen a change, the schedule samples every half period. A new picture found
// right after an old one places the change between the two samples; from then on the
// schedule predicts each next change one period on and samples Offset after it (the main
// sample), so every picture is taken at the same moment of its frame. Two things keep the
// prediction true: a main sample that still finds the old picture shows the change comes
// later (the next sample follows a quarter period later and the prediction moves to it), and
// every ProbeEvery frames a probe Lead before the predicted change that already finds the new
// picture shows it comes earlier (the prediction moves back by Step). A main sample found
// too early after a long run of good ones also lengthens the period a little. A picture that stays
// the same for a while (a frozen game) makes the schedule sample once a period until the game moves
// again.
//
// Times are Timer() seconds. Threads: the render thread's alone.
class GameFrameSchedule {
  public:
    static constexpr double StartPeriod = 1.0 / 60.0;
    static constexpr double Offset = 0.004;     // main sample after the predicted change
    static constexpr double Lead = 0.001;       // probe before the predicted change
    static constexpr double Step = 0.0005;      // a probe's correction
    static constexpr int ProbeEvery = 8;        // frames
    static constexpr double MinimumGap = 0.003; // no two passes closer than this
    static constexpr int IdleAfterStale = 6;    // samples without change before idling

    // The time of the next sample: never earlier than now + MinimumGap; a main sample whose
    // frame has passed (an overrun) moves on to the next frame to come.
    double NextSample(double now);
    // What the sample found: began and ended bracket the print of the picture it compared.
    void Sampled(double began, double ended, bool newPicture);

    double Period() const { return period_; }
    // When the change that the latest new picture showed came, as the schedule predicted or
    // placed it; 0 while the schedule knows no such moment.
    double CaughtChange() const { return caught_; }
    bool Locked() const { return kind_ == Kind::Main || kind_ == Kind::Probe; }

  private:
    enum class Kind { Search, Main, Probe, Later };

    void Lock(double change);
    void Correct(double error, bool measured);
    void PlanMain();

    double period_ = StartPeriod;
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
};

// The render thread's pacing. Threads: `pacing` is set by the main thread at start-up, before
// the render thread starts; afterwards the record is the render thread's alone.
struct FramePacingRecord {
    Pacing pacing = Pacing::Fixed;
    GameFrameSchedule schedule;     // the smooth pacing's samples
    bool sampledNewPicture = false; // the latest pass's capture found a new picture
};

extern FramePacingRecord FramePacing;

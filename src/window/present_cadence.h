// How often the surface's window thread presents: once per display refresh where Windows
// offers a wait for it (DwmFlush) and the player chose the smooth pacing, otherwise about
// every 10 ms as always.
//
// Whether the wait really waits is judged against the refresh period where the compositor
// tells it: a wait that took at least QuickShare of a period waited; a shorter one still did
// when its return lies whole periods after the return before it (within GridTolerance of a
// period): a pass that ended just before a refresh makes the next wait legitimately short, at
// 360 Hz as at 60 Hz, but only a compositor puts the returns on the refresh grid. Where the
// compositor does not tell its period, a wait that returns within QuickSeconds is taken for one
// that did not wait. A wait that fails, or two in a row that do not look like waits (Wine's
// DwmFlush returns at once, and so may Windows' while the display is off or the session
// locked), count as unavailable: the thread then keeps the 10 ms cadence and tries the wait
// again RetrySeconds later, so a display that comes back is followed again.
//
// Between two presentations the thread waits for one thing (NextWait): with the smooth pacing,
// after a presentation that showed nothing (a frozen game), for new rows alone, however often
// the display refreshes; else for the next refresh where it follows it, none while the window
// is minimised; else for new rows or the 10 ms cadence.
//
// Threads: the window thread's alone, apart from inStep, which the start-up sets before the
// window thread starts.
#pragma once

class PresentCadence {
  public:
    static constexpr double QuickSeconds = 0.002;
    static constexpr double RetrySeconds = 1.0;
    static constexpr double QuickShare = 0.1;
    static constexpr double GridTolerance = 0.1;

    bool inStep = false; // the smooth pacing was chosen

    enum class Next {
        RowsWhileIdle, // new rows (or the window's messages) for a long while
        Refresh,       // the display's next refresh, cut short by new rows
        RowsOrCadence, // new rows (or messages), at most the 10 ms cadence
        Cadence,       // the 10 ms cadence alone (the fixed pacing)
    };
    // What to wait for before the next presentation: shownLast, whether the last one showed
    // a picture; minimised, whether the window is.
    Next NextWait(bool shownLast, bool minimised, double now) const;
    // Whether the next presentation waits for the display's refresh.
    bool WaitForRefresh(double now) const { return inStep && (available_ || now >= retryAt_); }
    // What a wait did: whether it succeeded, how long it took, and when it returned (`now`).
    // refreshPeriod is the compositor's, in seconds; 0 where it does not say.
    void Waited(bool succeeded, double tookSeconds, double now, double refreshPeriod = 0.0);

  private:
    // Whether a successful wait looked like one that waited for the display.
    bool LooksLikeAWait(double tookSeconds, double now, double refreshPeriod) const;

    bool available_ = true;
    int doubtful_ = 0;
    double retryAt_ = 0.0;
    double lastReturn_ = 0.0; // of the last successful wait (0: none)
};

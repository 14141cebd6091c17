// How often the surface's window thread presents: once per display refresh where Windows
// offers a wait for it (DwmFlush) and the player chose the smooth pacing, otherwise about
// every 10 ms as always.
//
// A wait that fails, or that returns within QuickSeconds twice in a row, counts as
// unavailable: Wine's returns success at once, and so may Windows' while the display is off
// or the session locked. The thread then keeps the 10 ms cadence and tries the wait again
// RetrySeconds later, so a display that comes back is followed again.
//
// Threads: the window thread's alone, apart from inStep, which the start-up sets before the
// window thread starts.
#pragma once

class PresentCadence {
  public:
    static constexpr double QuickSeconds = 0.002;
    static constexpr double RetrySeconds = 1.0;

    bool inStep = false; // the smooth pacing was chosen

    // Whether the next presentation waits for the display's refresh.
    bool WaitForRefresh(double now) const { return inStep && (available_ || now >= retryAt_); }
    // What the wait did: whether it succeeded and how long it took.
    void Waited(bool succeeded, double tookSeconds, double now);

  private:
    bool available_ = true;
    int quick_ = 0;
    double retryAt_ = 0.0;
};

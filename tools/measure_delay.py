#!/usr/bin/env python3
"""Measures how long a game frame takes to reach the screen through the real viewer under Wine,
read from the screen itself rather than from the viewer's account.

The stand-in game runs on its 60 Hz frame clock (frame n due n/60 s after its start, on the
performance counter, which under Wine is the host's raw monotonic clock) and draws each frame's
number in a row of cells at the bottom of its picture (demo/demo_picture.h, the frame code).
The viewer shows it full screen on its own Xvfb (1024x768 unless --screen), with the pacing,
fit and grid written into lumenpane.ini beside it. For each filter in turn (F8) the tool reads the frame code's row
straight from the X server about every millisecond and notes when each frame first appears.
Delay = that moment less the moment the frame was due. Per filter it prints the median, the
95th percentile, the least and the most delay and the frames never shown.

With a measuring build (cmake -DLMP_PASS_TIMING=ON) the viewer also writes its frame trace
(lumenpane-frames.log), and the tool prints where the time went, step by step: due -> sampled
(the print began) -> printed -> filtered -> handed to the window thread -> presented -> on the
X screen, the median and 95th percentile of each step.

usage: measure_delay.py [BUILD_DIR] [--pacing fixed|smooth] [--fit integer|aspect|stretch]
                        [--filter all|Off|Scale2x|hq2x] [--seconds S] [--present auto|gdi|both]
                        [--screen WxH] [--grid 2|3|4]
  --grid     lumenpane.ini [display] grid: the frame is N x 320 by N x 240 for the N the viewer
             chooses for the screen (Scale2x is then named Scale3x or Scale4x)
  --present  the road to the screen (lumenpane.ini [display] present); both: GDI, then auto
  BUILD_DIR  a Windows build (default: LMP_WIN_BUILD, else build/win-ARCH as in the tests)
"""

import argparse
import bisect
import math
import os
import statistics
import sys
import time

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(os.path.dirname(HERE), "tests", "e2e"))

import frame_clock  # noqa: E402
import harness  # noqa: E402
from measure_viewer import load  # noqa: E402
from screen_row import ScreenRow  # noqa: E402

GAME_W, GAME_H = 320, 240
# The frame code (demo/demo_picture.h): 10 bits and their complements in cells 16 game pixels
# wide, in the picture's bottom 4 rows; the viewer's frame shows the picture N times as large.
CODE_BITS = 10
CELL = 16
CODE_ROW = GAME_H - 2
SETTLE_SECONDS = 5.0  # after the viewer covers the screen: the pacing has settled
READ_INTERVAL = 0.001
STEPS = ("due -> sampled", "sampled -> printed", "printed -> filtered", "filtered -> handed",
         "handed -> presented", "presented -> on screen", "due -> on screen")


def raw_now():
    """The host's raw monotonic clock in seconds: Wine's performance counter."""
    return time.clock_gettime(time.CLOCK_MONOTONIC_RAW)


def frame_grid(screen_size, fit, grid):
    """The N of the N x 320 by N x 240 frame the viewer makes full screen: with fit=integer
    the N whose whole multiple shows the largest picture (the larger N on a tie), else the
    largest N whose frame fits the screen; 2 at least."""
    w, h = screen_size
    fits = [n for n in range(2, grid + 1) if GAME_W * n <= w and GAME_H * n <= h] or [2]
    if fit == "integer":
        return max(fits, key=lambda n: (GAME_W * n * min(w // (GAME_W * n), h // (GAME_H * n)), n))
    return fits[-1]


def frame_on_screen(screen_size, fit, grid=2):
    """Where the viewer's frame (of frame_grid's N) lies on a full screen: (left, top, x scale,
    y scale, N), the scales in screen pixels per frame pixel."""
    w, h = screen_size
    n = frame_grid(screen_size, fit, grid)
    fw, fh = GAME_W * n, GAME_H * n
    if fit == "integer":
        s = max(1, min(w // fw, h // fh))
        return (w - fw * s) // 2, (h - fh * s) // 2, s, s, n
    if fit == "aspect":
        s = min(w / fw, h / fh)
        return (w - round(fw * s)) // 2, (h - round(fh * s)) // 2, s, s, n
    return 0, 0, w / fw, h / fh, n


def overlay_frame(frame):
    """The frame as frame_clock.full_screen_text takes it, in the 640x480 frame's pixels: the
    overlay is drawn N/2 (rounded down) times as large at grid N."""
    left, top, sx, sy, n = frame
    return left, top, sx * (n // 2), sy * (n // 2)


class GameClock:
    """The stand-in game's frame clock, from its frame log's first line."""

    def __init__(self, frame_log):
        head = harness.read_lines(frame_log)[0].split()
        fields = dict(zip(head[::2], head[1::2]))
        self.hz = int(fields["clock"])
        self.start = int(fields["start_counter"]) / int(fields["frequency"])

    def due(self, frame):
        return self.start + frame / self.hz

    def frame_at(self, t):
        return math.floor((t - self.start) * self.hz)


def decode(row, cells):
    """The frame code in a row read from the screen, or None when its cells disagree."""
    bits = [((row[x] >> 16 & 255) + (row[x] >> 8 & 255) + (row[x] & 255)) > 384 for x in cells]
    if any(a == b for a, b in zip(bits[:CODE_BITS], bits[CODE_BITS:])):
        return None
    return sum(1 << (CODE_BITS - 1 - i) for i, bit in enumerate(bits[:CODE_BITS]) if bit)


def watch(row, cells, clock, seconds, seen):
    """Reads the row about every millisecond for `seconds`; notes in `seen` the first moment
    each frame was on screen. Returns the number of reads."""
    reads = 0
    end = raw_now() + seconds
    next_read = raw_now()
    while next_read < end:
        before = raw_now()
        code = decode(row.read(), cells)
        after = raw_now()
        reads += 1
        if code is not None:
            latest = clock.frame_at(after)  # no frame on screen is newer than this
            frame = latest - ((latest - code) % (1 << CODE_BITS))
            seen.setdefault(frame, (before + after) / 2)
        next_read += READ_INTERVAL
        pause = next_read - raw_now()
        if pause > 0:
            time.sleep(pause)
        else:
            next_read = raw_now()
    return reads


def percentile(values, share):
    ordered = sorted(values)
    return ordered[min(len(ordered) - 1, int(share * len(ordered)))]


def spread(values):
    """Median, 95th percentile, least and most of a list of seconds, in ms."""
    if not values:
        return None
    ms = [v * 1000.0 for v in values]
    return statistics.median(ms), percentile(ms, 0.95), min(ms), max(ms)


def span_figures(clock, seen, began, ended):
    """Delay and frames never shown for the frames due in [began, ended) (raw clock); the
    last 0.2 s is left out, its frames may still be on their way."""
    due = range(clock.frame_at(began) + 1, clock.frame_at(ended - 0.2) + 1)
    delays = [seen[n] - clock.due(n) for n in due if n in seen]
    missing = sum(1 for n in due if n not in seen)
    return {"frames": len(due), "delay": spread(delays), "never_shown": missing,
            "never_shown_per_min": missing * 60.0 / max(ended - began - 0.2, 1e-9)}


def read_trace(path):
    """The viewer's frame trace (pass_timing.h): (began, ended, filtered, handed, shown) rows."""
    if not os.path.exists(path):
        return []
    return [tuple(float(v) for v in line.split()) for line in harness.read_lines(path)
            if len(line.split()) == 5]


def breakdown(clock, frame_log, trace, seen, began, ended):
    """Each step's durations for the new pictures of the span whose frame appeared on screen
    after the viewer presented it, the frame matched by the game's print inside the trace's."""
    printed = sorted((clock.start + ms / 1000.0, n)
                     for n, ms in frame_clock.read_frame_log(frame_log).prints)
    prints = [t for t, _ in printed]
    steps = {name: [] for name in STEPS}
    for b, e, filtered, handed, shown in trace:
        if not (began <= b < ended - 0.2) or not shown or not handed:
            continue
        i = bisect.bisect_left(prints, b - 0.0005)
        if i == len(prints) or prints[i] > e + 0.0005:
            continue
        n = printed[i][1]
        if n not in seen or seen[n] < shown:
            continue
        due = clock.due(n)
        for name, value in zip(STEPS, (b - due, e - b, filtered - e, handed - filtered,
                                       shown - handed, seen[n] - shown, seen[n] - due)):
            steps[name].append(value)
    return {name: spread(values) for name, values in steps.items()}


def measure(session, pacing, fit, filters, seconds, meter="fps", present="auto", grid=2):
    """Runs the game and the viewer, measures each filter of `filters` (in F8's order) for
    `seconds`; returns {filter: figures} with "steps" where the viewer wrote its trace."""
    frame_log = session.file("frames-%d.log" % time.monotonic_ns())
    game = frame_clock.start_clock_game(session, frame_log)
    viewer_exe = session.private_copy("src/lumenpane.exe", "measure-delay-%d" % time.monotonic_ns())
    with open(os.path.join(os.path.dirname(viewer_exe), "lumenpane.ini"), "w",
              newline="\r\n") as ini:
        ini.write("[display]\npacing=%s\nfit=%s\nmeter=%s\npresent=%s\ngrid=%d\n"
                  % (pacing, fit, meter, present, grid))
    viewer = session.run(viewer_exe)
    session.wait_viewer_mode(True, timeout=30)
    time.sleep(SETTLE_SECONDS)
    clock = GameClock(frame_log)
    frame = frame_on_screen(session.screen_size, fit, grid)
    left, top, sx, sy, n = frame
    y = top + int((CODE_ROW * n + 0.5) * sy)
    row = ScreenRow(session.display, left, y, math.ceil(GAME_W * n * sx))
    cells = [int((CELL * i + CELL / 2) * n * sx) for i in range(2 * CODE_BITS)]
    seen, spans = {}, {}
    try:
        for mode in frame_clock.MODES:
            if mode != "Off":
                shown = "Scale%dx" % n if mode == "Scale2x" else mode
                frame_clock.switch_filter(session, game, shown, overlay_frame(frame))
            if mode not in filters:
                continue
            began = raw_now()
            reads = watch(row, cells, clock, seconds, seen)
            spans[mode] = (began, raw_now(), reads)
            print("  %s measured" % mode, file=sys.stderr, flush=True)
    finally:
        row.close()
        session.close_window(session.wait_viewer()["hwnd"])
        codes = (session.wait_exit(game.proc, 15), session.wait_exit(viewer, 15))
    trace = read_trace(os.path.join(os.path.dirname(viewer_exe), "lumenpane-frames.log"))
    results = {}
    for mode, (began, ended, reads) in spans.items():
        figures = span_figures(clock, seen, began, ended)
        figures["reads_per_second"] = reads / (ended - began)
        if trace:
            figures["steps"] = breakdown(clock, frame_log, trace, seen, began, ended)
        results[mode] = figures
    return results, codes


def ms(figure):
    return "%.1f" % figure


def report(session, options, results, loads, codes, present):
    print("Viewer under Wine, full screen %dx%d, pacing=%s, fit=%s, present=%s, grid=%d (frame "
          "at %d x 320x240); the stand-in game on its 60 Hz clock; load average %s at the start, "
          "%s at the end" % (session.screen_size + (options.pacing, options.fit, present,
                             options.grid, frame_grid(session.screen_size, options.fit,
                                                      options.grid)) + loads))
    print()
    print("| filter  | frames | median ms | p95 ms | least ms | most ms | never shown |"
          " never shown/min | reads/s |")
    print("|---------|--------|-----------|--------|----------|---------|-------------|"
          "-----------------|---------|")
    for mode, f in results.items():
        d = f["delay"] or (math.nan,) * 4
        print("| %-7s | %6d | %9s | %6s | %8s | %7s | %11d | %15.1f | %7.0f |"
              % (mode, f["frames"], ms(d[0]), ms(d[1]), ms(d[2]), ms(d[3]), f["never_shown"],
                 f["never_shown_per_min"], f["reads_per_second"]))
    for mode, f in results.items():
        if "steps" not in f:
            continue
        print()
        print("%s, where the time goes (ms):" % mode)
        print()
        print("| step                   | median | p95  |")
        print("|------------------------|--------|------|")
        for name in STEPS:
            s = f["steps"][name]
            if s:
                print("| %-22s | %6s | %4s |" % (name, ms(s[0]), ms(s[1])))
    print()
    print("exit codes: game %d, viewer %d" % codes)


def main():
    parser = argparse.ArgumentParser(description="measure the delay from game frame to screen")
    parser.add_argument("build_dir", nargs="?", help="Windows build directory")
    parser.add_argument("--pacing", default="smooth", choices=("fixed", "smooth"))
    parser.add_argument("--fit", default="integer", choices=("integer", "aspect", "stretch"))
    parser.add_argument("--filter", default="all", choices=("all",) + frame_clock.MODES)
    parser.add_argument("--seconds", type=float, default=20.0, help="seconds per filter")
    parser.add_argument("--present", default="auto", choices=("auto", "gdi", "both"))
    parser.add_argument("--screen", default="%dx%d" % harness.SCREEN_SIZE,
                        help="size of the virtual screen, WxH")
    parser.add_argument("--grid", type=int, default=2, choices=(2, 3, 4))
    options = parser.parse_args()
    filters = frame_clock.MODES if options.filter == "all" else (options.filter,)
    roads = ("gdi", "auto") if options.present == "both" else (options.present,)
    ended = []
    screen = tuple(int(n) for n in options.screen.lower().split("x"))
    with harness.Session(options.build_dir, screen_size=screen) as session:
        for present in roads:
            start_load = load()
            results, codes = measure(session, options.pacing, options.fit, filters,
                                     options.seconds, present=present, grid=options.grid)
            report(session, options, results, (start_load, load()), codes, present)
            ended.append(codes == (0, 0))
        return 0 if all(ended) else 1


if __name__ == "__main__":
    sys.exit(main())

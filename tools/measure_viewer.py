#!/usr/bin/env python3
"""Measures the real viewer under Wine on the animated stand-in game: for each filter mode
the frames per second its counter shows and the processor time it spends per frame, and its
private memory at the start and after some minutes of filter changes. Prints a table.

usage: measure_viewer.py [BUILD_DIR] [--seconds S] [--minutes M] [--breakdown]
                         [--screen WxH] [--full-screen] [--display KEY=VALUE ...] [--modes M,..]
  BUILD_DIR  a Windows build (default: LMP_WIN_BUILD, else build/win-ARCH as in the tests)
  S          seconds measured per mode (default 10)
  M          minutes from the start to the last memory sample (default 3)
  --breakdown  also print where a pass's time goes, per mode, from the "pass timing" lines
             that a viewer built with -DLMP_PASS_TIMING=ON writes to lumenpane.log on exit
  --screen   the size of the virtual screen (default 1024x768)
  --full-screen  measure full screen instead of in the window
  --display  a key of lumenpane.ini's [display] section, e.g. scaling=sharp (repeatable)
  --game-clock HZ  the game's picture follows a clock of HZ frames a second, so that the
             counter counts the viewer's passes up to HZ (default: the game's 40 a second)
  --modes    the filter modes measured (default Off,Scale2x,hq2x); MMPX adds it to the
             F8 cycle (filters=) unless --display gives one

For example, MMPX applied twice at grid 4, full screen 1920x1080 with the smooth pacing:
  measure_viewer.py --screen 1920x1080 --full-screen --display grid=4 --display fit=integer \
      --display pacing=smooth --modes MMPX --game-clock 240 --seconds 30 --minutes 0

or full screen 1920x1080 with sharp scaling and hq2x:
  measure_viewer.py --screen 1920x1080 --full-screen --display fit=aspect \
      --display scaling=sharp --modes hq2x --seconds 30 --minutes 0

By default the viewer runs in its window (F6 after its automatic switch to full screen), so
the 640x480 frame lies 1:1 in the client area; full screen, the frame's pixels are read at
their centres in the picture. The counter is on (F7), and its digits are read off the screen
every two seconds: the frames per second are their mean and their median. Processor time is the viewer's Linux process (all its threads):
utime + stime from /proc, over the measured seconds, divided by the frames shown in them.
Work done for the viewer by the Wine server and the X server is not in it. Memory is RssAnon
of the same process, as in the soak test. The probe program that reads the screen runs on
the same processors, about every two seconds.
"""

import argparse
import os
import sys
import time

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(os.path.dirname(HERE), "tests", "e2e"))

import harness  # noqa: E402
import viewer_watch  # noqa: E402
from harness import VK_F6, VK_F7, VK_F8  # noqa: E402

MODES = ("Off", "Scale2x", "hq2x", "MMPX")
CYCLE_WITH_MMPX = "filters=off, scale2x, hq2x, mmpx"
COUNTER_LENGTH = 8     # "FPS: " and a right-aligned number of three characters
NAME_SECONDS = 3.5     # the filter's name covers the counter for three seconds
READ_INTERVAL = 2.0


class Run:
    """The session, the game and the viewer being measured."""

    def __init__(self, session, display):
        self.s = session
        # F8's order, and the grid that names Scale2x Scale3x or Scale4x in the overlay.
        with_mmpx = any(d.startswith("filters=") and "mmpx" in d.lower() for d in display)
        self.cycle = list(MODES if with_mmpx else MODES[:3])
        self.grid = next((int(d.split("=")[1]) for d in display if d.startswith("grid=")), 2)
        self.game = None
        self.viewer = None
        self.picture = None  # full screen: where the frame lies on the screen
        self.peak_kib = 0

    def window(self):
        return self.s.wait_viewer(timeout=10)

    def tap(self, vk):
        self.s.tap(vk, self.game.hwnd)

    def text(self, count):
        if self.picture:
            return viewer_watch.grab_text_in(self.s, self.picture, count)
        return viewer_watch.grab_text(self.s, self.window(), count)

    def find_picture(self):
        """Full screen: waits until the frame shows between the bars, and notes where."""
        self.picture = harness.wait_until(
            lambda: viewer_watch.picture_on_screen(self.s.grab(0, 0, *self.s.screen_size)),
            20, "the picture full screen", interval=0.5)

    def counter(self):
        """The counter's number, or None while it shows no number (or is covered)."""
        text = self.text(COUNTER_LENGTH)
        if not text or not text.startswith("FPS: ") or not text[5:].strip().isdigit():
            return None
        return int(text[5:])

    def memory(self):
        kib = viewer_watch.private_memory_kib(self.viewer.pid)
        self.peak_kib = max(self.peak_kib, kib)
        return kib

    def following(self, mode):
        return self.cycle[(self.cycle.index(mode) + 1) % len(self.cycle)]

    def next_filter(self, mode):
        self.tap(VK_F8)
        name = "Scale%dx" % self.grid if mode == "Scale2x" else mode
        expected = "Filter: " + name
        harness.wait_until(lambda: self.text(len(expected)) == expected, 3,
                           "the overlay to name %s" % name, interval=0.2)

    def measure_mode(self, seconds):
        """Frames per second (mean of the counter's readings) and processor time per frame
        over `seconds`; also the processor share of the viewer and of the game."""
        harness.wait_until(lambda: self.counter() is not None, 10, "the counter")
        time.sleep(1.5)  # a full second counted in the new mode
        readings = []
        began, viewer_cpu, game_cpu = (time.monotonic(), viewer_watch.cpu_seconds(self.viewer.pid),
                                       viewer_watch.cpu_seconds(self.game.proc.pid))
        while time.monotonic() - began < seconds:
            value = self.counter()
            if value is not None:
                readings.append(value)
            time.sleep(READ_INTERVAL)
        elapsed = time.monotonic() - began
        viewer_cpu = viewer_watch.cpu_seconds(self.viewer.pid) - viewer_cpu
        game_cpu = viewer_watch.cpu_seconds(self.game.proc.pid) - game_cpu
        if not readings:
            raise harness.HarnessError("the counter could not be read")
        fps = sum(readings) / len(readings)
        median = sorted(readings)[len(readings) // 2] if len(readings) % 2 else \
            sum(sorted(readings)[len(readings) // 2 - 1:len(readings) // 2 + 1]) / 2.0
        return {"fps": fps, "median": median, "readings": readings, "seconds": elapsed,
                "ms_per_frame": 1000.0 * viewer_cpu / (fps * elapsed) if fps else float("nan"),
                "viewer_cpu": 100.0 * viewer_cpu / elapsed, "game_cpu": 100.0 * game_cpu / elapsed}


def load():
    with open("/proc/loadavg") as f:
        return " ".join(f.read().split()[:3])


def write_display_settings(viewer_exe, settings):
    if settings:
        with open(os.path.join(os.path.dirname(viewer_exe), "lumenpane.ini"), "w",
                  newline="\r\n") as f:
            f.write("[display]\n" + "".join(line + "\n" for line in settings))


def measure(session, options):
    seconds, minutes, modes = options.seconds, options.minutes, options.modes
    run = Run(session, options.display)
    viewer_exe = session.private_copy("src/lumenpane.exe", "measure")
    write_display_settings(viewer_exe, options.display)

    if options.game_clock:  # a new picture at every print, up to HZ a second
        import frame_clock
        run.game = frame_clock.start_clock_game(session, session.file("frames.log"),
                                                hz=options.game_clock)
    else:
        run.game = session.start_game()  # animated at 40 pictures a second
    run.viewer = session.run(viewer_exe)
    began = time.monotonic()
    run.window()
    session.wait_viewer_mode(True, timeout=20)
    if options.full_screen:
        run.find_picture()
    else:
        run.tap(VK_F6)
        session.wait_viewer_mode(False, timeout=20)
    run.tap(VK_F7)
    harness.wait_until(lambda: run.counter() is not None, 10, "the counter after F7")
    start_kib = run.memory()
    start_load = load()

    results, shown = {}, "Off"
    for mode in modes:
        while shown != mode:
            shown = run.following(shown)
            run.next_filter(shown)
        time.sleep(NAME_SECONDS)
        results[mode] = run.measure_mode(seconds)
        run.memory()
        print("  %-7s %s" % (mode, results[mode]["readings"]), file=sys.stderr, flush=True)
    while shown != "Off":
        shown = run.following(shown)
        run.next_filter(shown)
    time.sleep(NAME_SECONDS)
    warm_kib = run.memory()

    # Filter changes every few seconds until the minutes are up, ending in Off.
    turns = 0
    while time.monotonic() - began < 60.0 * minutes or shown != "Off":
        shown = run.following(shown)
        run.next_filter(shown)
        turns += 1
        time.sleep(2.0)
        run.memory()
    time.sleep(NAME_SECONDS)
    end_kib = run.memory()
    end_minutes = (time.monotonic() - began) / 60.0
    end_load = load()

    window = run.window()
    session.close_window(window["hwnd"])
    codes = (session.wait_exit(run.game.proc, 15), session.wait_exit(run.viewer, 15))

    where = ("full screen %dx%d, picture %dx%d at (%d, %d)"
             % (session.screen_size + run.picture[2:] + run.picture[:2])
             if run.picture else "window 640x480")
    print("Viewer under Wine, stand-in game animated (%s), %s, counter on"
          % ("clock %d Hz" % options.game_clock if options.game_clock else "40 a second", where))
    print("lumenpane.ini [display]: %s" % (", ".join(options.display) or "none (the defaults)"))
    print("load average (1, 5, 15 min): %s at the start, %s at the end" % (start_load, end_load))
    print()
    print("| mode    | fps (mean) | fps (median) | viewer CPU ms/frame | viewer CPU | game CPU |")
    print("|---------|------------|--------------|---------------------|------------|----------|")
    for mode in modes:
        r = results[mode]
        print("| %-7s | %10.1f | %12.1f | %19.2f | %9.0f%% | %7.0f%% |"
              % (mode, r["fps"], r["median"], r["ms_per_frame"], r["viewer_cpu"], r["game_cpu"]))
    print()
    print("private memory (RssAnon): %d KiB at the start, %d KiB after the first use of every"
          " filter, %d KiB after %.1f min and %d filter changes (peak %d KiB)"
          % (start_kib, warm_kib, end_kib, end_minutes, turns + len(modes), run.peak_kib))
    print("exit codes: game %d, viewer %d" % codes)
    if options.breakdown:
        print_breakdown(harness.viewer_log(viewer_exe))
    return 0 if codes == (0, 0) else 1


def print_breakdown(lines):
    """Tables of the "pass timing: MODE | STAGE | n N mean M p50 P p95 Q ms" log lines."""
    table, order = {}, []
    for line in lines:
        parts = line.split("|")
        if len(parts) != 3 or not parts[0].startswith("pass timing:"):
            continue
        mode, stage = parts[0][len("pass timing:"):].strip(), parts[1].strip()
        words = parts[2].split()
        table[(mode, stage)] = {words[i]: float(words[i + 1]) for i in range(0, 8, 2)}
        if stage not in order:
            order.append(stage)
    if not table:
        print("\nno pass timings in lumenpane.log: build with -DLMP_PASS_TIMING=ON")
        return
    print("\nWhere a pass's time goes (ms: mean / p50 / p95; passes with the counter showing)")
    print("| stage | " + " | ".join(MODES) + " |")
    print("|---|" + "---|" * len(MODES))
    for stage in order:
        cells = []
        for mode in MODES:
            v = table.get((mode, stage))
            cells.append("%.3f / %.3f / %.3f" % (v["mean"], v["p50"], v["p95"]) if v else "-")
        print("| %s | %s |" % (stage, " | ".join(cells)))
    counts = ["%s %d" % (m, table[(m, "pass")]["n"]) for m in MODES if (m, "pass") in table]
    print("samples (render passes): " + ", ".join(counts))


def main():
    parser = argparse.ArgumentParser(description="measure the viewer under Wine")
    parser.add_argument("build_dir", nargs="?", help="Windows build directory")
    parser.add_argument("--seconds", type=float, default=10.0, help="seconds per mode")
    parser.add_argument("--minutes", type=float, default=3.0, help="minutes to the last sample")
    parser.add_argument("--breakdown", action="store_true",
                        help="print the pass timings of a -DLMP_PASS_TIMING=ON build")
    parser.add_argument("--screen", default="%dx%d" % harness.SCREEN_SIZE,
                        help="size of the virtual screen, WxH")
    parser.add_argument("--full-screen", action="store_true", help="measure full screen")
    parser.add_argument("--display", action="append", default=[], metavar="KEY=VALUE",
                        help="a key of lumenpane.ini's [display] section (repeatable)")
    parser.add_argument("--modes", default=",".join(MODES), help="filter modes measured")
    parser.add_argument("--game-clock", type=int, default=0, metavar="HZ",
                        help="the game shows frame n from n/HZ seconds on (default: 40 a second)")
    options = parser.parse_args()
    options.modes = [m for m in MODES if m in options.modes.split(",")]
    if "MMPX" in options.modes and not any(d.startswith("filters=") for d in options.display):
        options.display.append(CYCLE_WITH_MMPX)
    screen = tuple(int(n) for n in options.screen.lower().split("x"))
    with harness.Session(options.build_dir, screen_size=screen) as session:
        return measure(session, options)


if __name__ == "__main__":
    sys.exit(main())

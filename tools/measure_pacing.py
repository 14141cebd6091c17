#!/usr/bin/env python3
"""Measures how the real viewer under Wine keeps up with a 60 fps game: the viewer full
screen on its own Xvfb (1024x768) over the stand-in game on its 60 Hz frame clock, with the
pacing chosen in lumenpane.ini, S seconds in each filter mode (F8; the filter's name is let
pass first). Per mode it prints the game's frames in the span, the frames no print showed
(skipped) and those that were the only picture printed for two game periods or more
(repeated), both per minute, counted from the game's frame log (tests/e2e/frame_clock.py),
and the processor time the viewer's Linux process (utime + stime from /proc, all its
threads) used per second of play. Work done for the viewer by the Wine server and the X
server is not in it; the probe program that reads the overlay runs only between spans.

With --press the probe presses a key every E seconds through each span, with the game in
front: F9 saves a screenshot each time (a press while one is still being written waits, one
more is dropped), and F12, which neither the game nor the viewer uses, gives the same probe
runs without saving, to compare the prints per second (one a pass) with and without saving.

usage: measure_pacing.py [BUILD_DIR] [--pacing fixed|smooth] [--seconds S] [--frozen]
                         [--press f9|f12] [--every E]
  BUILD_DIR  a Windows build (default: LMP_WIN_BUILD, else build/win-ARCH as in the tests)
  --pacing   the [display] pacing written to lumenpane.ini beside the viewer (default fixed)
  S          seconds measured per mode (default 30)
  --frozen   the game frozen on one picture (LMP_DEMO_FREEZE=1): for the processor time of a
             picture that does not change; the frame counts then only tell when prints came
  --press    the key pressed every E seconds (default 0.5) during the spans
"""

import argparse
import os
import sys
import time

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(os.path.dirname(HERE), "tests", "e2e"))

import frame_clock  # noqa: E402
import harness  # noqa: E402
import viewer_watch  # noqa: E402
from measure_viewer import load  # noqa: E402

SETTLE_SECONDS = 2.0  # after the viewer covers the screen, before the first span
KEYS = {"f9": 0x78, "f12": 0x7B}


def play(session, game, seconds, key, every):
    """A span of `seconds`, pressing `key` every `every` seconds (none: no key)."""
    ends = time.time() + seconds
    if key:
        session.set_foreground(game.hwnd)
    while time.time() < ends:
        if key:
            session.press_key(KEYS[key])
        time.sleep(max(0.0, min(every if key else seconds, ends - time.time())))


def measure(session, pacing, seconds, frozen, key=None, every=0.5):
    frame_log = session.file("frames.log")
    game = frame_clock.start_clock_game(session, frame_log, frozen=frozen)
    viewer_exe = frame_clock.viewer_with_pacing(session, "measure-pacing", pacing)
    viewer = session.run(viewer_exe)
    session.wait_viewer_mode(True, timeout=30)
    time.sleep(SETTLE_SECONDS)
    start_load = load()

    spans = {}
    for mode in frame_clock.MODES:
        if mode != "Off":
            frame_clock.switch_filter(session, game, mode)
        began, viewer_cpu, game_cpu = (time.time(), viewer_watch.cpu_seconds(viewer.pid),
                                       viewer_watch.cpu_seconds(game.proc.pid))
        play(session, game, seconds, key, every)
        ended = time.time()
        spans[mode] = (began, ended,
                       viewer_watch.cpu_seconds(viewer.pid) - viewer_cpu,
                       viewer_watch.cpu_seconds(game.proc.pid) - game_cpu)
        print("  %s measured" % mode, file=sys.stderr, flush=True)
    end_load = load()

    session.close_window(session.wait_viewer()["hwnd"])
    codes = (session.wait_exit(game.proc, 15), session.wait_exit(viewer, 15))
    log = frame_clock.read_frame_log(frame_log)

    print("Viewer under Wine, full screen %dx%d, pacing=%s, stand-in game on its %d Hz clock%s%s"
          % (session.screen_size + (pacing, log.hz, ", frozen" if frozen else "",
                                    ", %s every %g s" % (key.upper(), every) if key else "")))
    print("load average (1, 5, 15 min): %s at the start, %s at the end" % (start_load, end_load))
    print()
    print("| mode    | seconds | game frames | prints/s | skipped | skipped/min | repeated"
          " | repeated/min | viewer CPU s/s | game CPU s/s |")
    print("|---------|---------|-------------|----------|---------|-------------|---------"
          "-|--------------|----------------|--------------|")
    for mode in frame_clock.MODES:
        began, ended, viewer_cpu, game_cpu = spans[mode]
        c = frame_clock.count_frames(log, log.game_ms(began), log.game_ms(ended))
        span = ended - began
        print("| %-7s | %7.1f | %11d | %8.1f | %7d | %11.1f | %8d | %12.1f | %14.3f | %12.3f |"
              % (mode, span, c["frames"], c["prints"] / span, c["skipped"], c["skipped_per_min"],
                 c["repeated"], c["repeated_per_min"], viewer_cpu / span, game_cpu / span))
    print()
    viewer_lines = harness.viewer_log(viewer_exe)
    print("lumenpane.log: %s" % ("; ".join(viewer_lines[:5]) if viewer_lines else "empty"))
    shots = os.path.join(os.path.dirname(viewer_exe), "screenshots")
    if key:
        print("screenshot files: %d" % (len(os.listdir(shots)) if os.path.isdir(shots) else 0))
    print("exit codes: game %d, viewer %d" % codes)
    return 0 if codes == (0, 0) else 1


def main():
    parser = argparse.ArgumentParser(description="measure the viewer's pacing under Wine")
    parser.add_argument("build_dir", nargs="?", help="Windows build directory")
    parser.add_argument("--pacing", default="fixed", help="fixed or smooth (lumenpane.ini)")
    parser.add_argument("--seconds", type=float, default=30.0, help="seconds per mode")
    parser.add_argument("--frozen", action="store_true", help="the game frozen on one picture")
    parser.add_argument("--press", choices=sorted(KEYS), help="a key pressed during the spans")
    parser.add_argument("--every", type=float, default=0.5, help="seconds between presses")
    options = parser.parse_args()
    with harness.Session(options.build_dir) as session:
        return measure(session, options.pacing, options.seconds, options.frozen, options.press,
                       options.every)


if __name__ == "__main__":
    sys.exit(main())

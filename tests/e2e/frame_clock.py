"""The stand-in game on its frame clock, seen through its frame log: which of the game's
frames the viewer printed, and when. Used by test_smooth_pacing.py, test_compositor.py and
tools/measure_pacing.py. Standard library only.

The game (LMP_DEMO_CLOCK=HZ) shows frame n from n/HZ seconds after its start; each print
logs the frame it showed and its time (LMP_DEMO_FRAME_LOG; the format is described in
demo/frame_clock.h). Counted over a span of the game's time:
  frames    the frames due in the span
  skipped   frames due in the span that no print showed (never on screen)
  repeated  printed frames whose successor (the next frame printed) was first printed two
            game periods or more after them: the only picture on screen for that long
Only prints count ("print" lines, what the viewer's PrintWindow makes the game draw); the
game's own paints ("paint" lines) do not reach the viewer.
"""

import math
import os
import time

import harness
import viewer_watch

CLOCK_HZ = 60
MODES = ("Off", "Scale2x", "hq2x")
FRAME_SIZE = harness.VIEWER_FRAME_SIZE


class FrameLog:
    """A parsed frame log: hz, start_unix_ms (the game's start in system time) and prints,
    a list of (frame, ms since the start) in the order the game printed them."""

    def __init__(self, hz, start_unix_ms, prints):
        self.hz, self.start_unix_ms, self.prints = hz, start_unix_ms, prints

    def game_ms(self, unix_seconds):
        """A moment of the system clock (time.time()) in the game's milliseconds."""
        return unix_seconds * 1000.0 - self.start_unix_ms


def read_frame_log(path):
    lines = harness.read_lines(path)
    if not lines or not lines[0].startswith("clock "):
        raise harness.HarnessError("%s: no frame log header" % path)
    head = lines[0].split()
    prints = []
    for line in lines[1:]:
        words = line.split()
        if len(words) == 3 and words[2] == "print":
            prints.append((int(words[0]), float(words[1])))
    return FrameLog(int(head[1]), float(head[3]), prints)


def count_frames(log, begin_ms, end_ms):
    """Frames, prints, skipped and repeated frames over [begin_ms, end_ms) of the game's
    time, and the skipped and repeated frames per minute."""
    period = 1000.0 / log.hz
    due = range(math.ceil(begin_ms / period), math.ceil(end_ms / period))
    first_print = {}
    for frame, ms in log.prints:
        first_print[frame] = min(ms, first_print.get(frame, ms))
    printed = sorted(first_print)
    following = dict(zip(printed, printed[1:]))
    skipped = sum(1 for f in due if f not in first_print)
    repeated = sum(1 for f in due if f in following
                   and first_print[following[f]] - first_print[f] >= 2 * period - 1e-6)
    minutes = (end_ms - begin_ms) / 60000.0
    return {"frames": len(due), "skipped": skipped, "repeated": repeated,
            "prints": sum(1 for _, ms in log.prints if begin_ms <= ms < end_ms),
            "skipped_per_min": skipped / minutes, "repeated_per_min": repeated / minutes}


# ---------------------------------------------------------------------------------------
# Running the game on its clock and the viewer full screen.


def start_clock_game(session, frame_log, frozen=False, hz=CLOCK_HZ):
    """Starts the stand-in game with its frame clock and frame log; returns a harness.Game
    once its window is up."""
    game = harness.Game(session, session.file("game-%d.log" % time.monotonic_ns()))
    env = {"LMP_DEMO_LOG": harness.windows_path(game.log_path), "LMP_DEMO_CLOCK": str(hz),
           "LMP_DEMO_FRAME_LOG": harness.windows_path(frame_log)}
    if frozen:
        env["LMP_DEMO_FREEZE"] = "1"
    before = {w["hwnd"] for w in session.windows() if w["class"] == harness.GAME_CLASS}
    game.proc = session.run(session.exe("demo/rpg_rt.exe"), ("NormalPlay", "ShowTitle", "Window"),
                            env)
    game.window = harness.wait_until(
        lambda: next((w for w in session.windows() if w["class"] == harness.GAME_CLASS
                      and w["hwnd"] not in before), None), 15, "the game window")
    return game


def viewer_with_pacing(session, folder, pacing):
    """A private copy of the viewer with lumenpane.ini beside it choosing the pacing."""
    exe = session.private_copy("src/lumenpane.exe", folder)
    with open(os.path.join(os.path.dirname(exe), "lumenpane.ini"), "w", newline="\r\n") as f:
        f.write("[display]\npacing=%s\n" % pacing)
    return exe


def full_screen_text(session, count, frame=None):
    """`count` characters of the overlay of the full-screen viewer (the 640x480 frame
    stretched over the screen, nearest neighbour, or where `frame` = (left, top, x scale,
    y scale) puts it), read at the centre of each frame pixel; None when the cells hold no
    text."""
    fx, fy, sx, sy = frame or (0, 0, session.screen_size[0] / FRAME_SIZE[0],
                               session.screen_size[1] / FRAME_SIZE[1])
    x0, y0 = viewer_watch.TEXT_ORIGIN
    width, height = count * viewer_watch.CELL, viewer_watch.CELL
    left, top = fx + int(x0 * sx), fy + int(y0 * sy)
    grab = session.grab(left, top, fx + math.ceil((x0 + width) * sx) - left,
                        fy + math.ceil((y0 + height) * sy) - top)
    pixels = [grab.at(min(fx + int((x + 0.5) * sx) - left, grab.width - 1),
                      min(fy + int((y + 0.5) * sy) - top, grab.height - 1))
              for y in range(y0, y0 + height) for x in range(x0, x0 + width)]
    return viewer_watch.read_text(harness.Image(width, height, pixels), count, 0, 0)


def switch_filter(session, game, name, frame=None):
    """F8 to the filter `name`; returns once the overlay has named it and the name has gone.
    `frame` as for full_screen_text."""
    expected = "Filter: " + name
    session.tap(harness.VK_F8, game.hwnd)
    harness.wait_until(lambda: full_screen_text(session, len(expected), frame) == expected, 5,
                       "the overlay to name %s" % name, interval=0.2)
    harness.wait_until(lambda: full_screen_text(session, len(expected), frame) != expected, 8,
                       "the filter name to go", interval=0.3)
    time.sleep(0.5)  # the game's resize after the F5 of the switch settles before a span


def play_each_mode(session, game, seconds):
    """`seconds` of play in each filter mode, Off first, switching with F8; returns
    {mode: (began, ended)} in system time (time.time())."""
    spans = {}
    for mode in MODES:
        if mode != "Off":
            switch_filter(session, game, mode)
        began = time.time()
        time.sleep(seconds)  # the span measured: the game's frames meanwhile
        spans[mode] = (began, time.time())
    return spans


def count_spans(frame_log, spans):
    """count_frames over each span of play_each_mode, read from the frame log."""
    log = read_frame_log(frame_log)
    return {mode: count_frames(log, log.game_ms(began), log.game_ms(ended))
            for mode, (began, ended) in spans.items()}

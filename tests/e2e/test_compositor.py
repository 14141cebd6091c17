"""The viewer with pacing=smooth over a stand-in compositor: tests/dwmapi.dll of the build
(standin_dwmapi.cpp), put into the Wine prefix's system folder and loaded by the viewer alone
(WINEDLLOVERRIDES=dwmapi=n), whose DwmFlush waits for the next tick of a refresh clock where
Wine's returns at once. With it the hot keys and the close button act at once while the viewer
waits for the display, also when DwmFlush never returns; a frozen game has the viewer call
DwmFlush at most 5 times a second at 60 and at 144 Hz; and on an idle machine a frozen game
wakes the viewer no more often at 144 Hz than at 60 Hz, and nearly every frame of the game on
its 60 Hz clock reaches the screen at 60, 59.94 and 144 Hz. Run through run.py."""

import filecmp
import json
import os
import shutil
import statistics
import time
import unittest

import base
import frame_clock
import harness
from harness import VK_F6, VK_F8

STANDIN = "tests/dwmapi.dll"
E_INVALIDARG = 0x80070057
HOT_KEY_SECONDS = 0.25  # F6 and F8 act within this while the viewer waits for the display
CLOSE_SECONDS = 1.0  # the viewer ends within this after its close button
SECONDS_PER_MODE = 30
MOST_SKIPPED_PER_MINUTE = 6


def system_folder(session):
    """Where the session's programs load system libraries from: syswow64 for the 32-bit build
    in a 64-bit prefix, else system32."""
    windows = os.path.join(session.prefix, "drive_c", "windows")
    wow = os.path.join(windows, "syswow64")
    return wow if harness.wine_env()[0] == "i686" and os.path.isdir(wow) else \
        os.path.join(windows, "system32")


def standin_env(session, refresh="60", flush=None):
    """The environment of a program that is to load the stand-in. Wine prefers a library in
    the system folder to its own where that is not its own placeholder, so the first call in
    a session tells every program to take Wine's dwmapi.dll (the registry's DllOverrides,
    below the environment's) before it puts the stand-in there: the other tests of the
    session keep Wine's."""
    target = os.path.join(system_folder(session), "dwmapi.dll")
    if not (os.path.exists(target) and filecmp.cmp(session.exe(STANDIN), target, shallow=False)):
        code, _ = session.run_to_end("reg", ["add", r"HKCU\Software\Wine\DllOverrides", "/v",
                                             "dwmapi", "/d", "builtin", "/f"])
        if code != 0:
            raise harness.HarnessError("could not make Wine's dwmapi.dll the default")
        # Replaced, not overwritten: a program that has the old file mapped keeps it.
        shutil.copy(session.exe(STANDIN), target + ".new")
        os.replace(target + ".new", target)
    env = {"WINEDLLOVERRIDES": session.env["WINEDLLOVERRIDES"] + ";dwmapi=n",
           "LMP_STANDIN_REFRESH": refresh}
    if flush:
        env["LMP_STANDIN_FLUSH"] = flush
    return env


def maps_standin(session, proc):
    """Whether the Linux process of a started program has the stand-in's file mapped."""
    with open("/proc/%d/maps" % proc.pid) as maps:
        return os.path.realpath(os.path.join(system_folder(session), "dwmapi.dll")) in maps.read()


class StandinTest(base.E2ETest):
    def dwm(self, env=None):
        code, out = self.s.run_to_end(self.s.exe("tests/lmp_probe.exe"), ["dwm", "30"], env)
        self.assertEqual(code, 0, out)
        return json.loads(out)

    def test_the_override_gives_that_program_alone_a_refresh_clock(self):
        standin = self.dwm(standin_env(self.s, "59.94"))
        period = standin["frequency"] * 100 // 5994
        self.assertEqual((standin["timing"], standin["desktop"], standin["rate"],
                          standin["period"]), (0, E_INVALIDARG, [5994, 100], period), standin)
        self.assertAlmostEqual(statistics.median(standin["flushes"]), 100000 / 5994, delta=2.0)
        # Without the override the same prefix gives Wine's own, which returns at once.
        self.assertLess(statistics.median(self.dwm()["flushes"]), 1.0)


class StandinViewerTest(base.E2ETest):
    """The steps of the tests with the viewer on the stand-in; no tests of its own."""

    def start(self, refresh="60", flush=None, frozen=False, env=None, present=None):
        """The game on its 60 Hz clock (or frozen) and the viewer with pacing=smooth on the
        stand-in, full screen, on the road `present` (None: the default); returns (game,
        viewer, frame log)."""
        frame_log = self.programs.path("frames-%s.log" % refresh)
        game = frame_clock.start_clock_game(self.s, frame_log, frozen)
        self.programs.procs.append(game.proc)
        with open(self.programs.path("lumenpane.ini"), "w", newline="\r\n") as ini:
            ini.write("[display]\npacing=smooth\n" + ("present=%s\n" % present if present else ""))
        viewer = self.programs.start_viewer(
            env=dict(standin_env(self.s, refresh, flush), **(env or {})), wait=False)
        self.s.wait_viewer_mode(True, timeout=30)
        harness.wait_until(lambda: maps_standin(self.s, viewer), 10, "the stand-in loaded")
        return game, viewer, frame_log

    def press(self, vk, game):
        """A hot key pressed with the game in front; returns the time it was up again."""
        time.sleep(0.3)  # apart from an earlier press, which the viewer's latch holds for a pass
        self.s.set_foreground(game.hwnd)
        self.s.press_key(vk)
        return time.monotonic()

    def close_within_a_second(self, game, viewer):
        self.s.close_window(self.s.wait_viewer()["hwnd"])
        harness.within(time.monotonic(), CLOSE_SECONDS, lambda: viewer.poll() is not None,
                       "the viewer ended after its close button", timeout=10)
        self.assertEqual((viewer.returncode, self.s.wait_exit(game.proc, 5)), (0, 0))


class CompositorTest(StandinViewerTest):
    def test_hot_keys_and_close_act_at_once_while_the_viewer_waits_for_the_display(self):
        for present in ("auto", "gdi"):
            with self.subTest(present):
                self.programs = base.Programs(self.s, present)  # a folder of its own
                game, viewer, _ = self.start(present=present)
                harness.within(self.press(VK_F8, game), HOT_KEY_SECONDS,
                               lambda: frame_clock.full_screen_text(self.s, 15) ==
                               "Filter: Scale2x", "F8: the overlay names Scale2x")
                for full_screen in (False, True):
                    mode = self.s.viewer_full_screen if full_screen else self.s.viewer_windowed
                    harness.within(self.press(VK_F6, game), HOT_KEY_SECONDS,
                                   lambda: mode(self.s.find_viewer() or {"visible": 0}),
                                   "F6: the viewer %s" % ("full screen" if full_screen else
                                                          "framed"))
                self.close_within_a_second(game, viewer)

    def test_a_compositor_that_never_returns_holds_neither_the_picture_nor_the_close(self):
        game, viewer, _ = self.start(flush="never")

        def top():  # the strip of the picture with the game's frame number
            return self.s.grab(0, 0, self.s.screen_size[0], 64).pixels
        for change in (1, 2):
            shown = top()
            self.assertTrue(harness.poll(lambda: top() != shown, 5, interval=0.2),
                            "picture change %d on screen" % change)
        self.close_within_a_second(game, viewer)


def wake_ups(pid):
    """The times each thread of a Linux process went to sleep and was woken since it began
    (its voluntary context switches), by thread."""
    counts = {}
    for tid in os.listdir("/proc/%d/task" % pid):
        try:
            with open("/proc/%d/task/%s/status" % (pid, tid)) as status:
                counts[tid] = next(int(line.split()[1]) for line in status
                                   if line.startswith("voluntary_ctxt_switches"))
        except (FileNotFoundError, ProcessLookupError):
            pass  # the thread ended meanwhile
    return counts


class FrozenGameTest(StandinViewerTest):
    SETTLE_SECONDS = 3  # the opening's pictures and overlay shown
    SECONDS = 5

    def measure(self, refresh):
        """The viewer's wake-ups and DwmFlush calls a second on the frozen game at refresh."""
        count = self.programs.path("flushes-%s-%d" % (refresh, time.monotonic_ns()))
        game, viewer, _ = self.start(refresh, frozen=True,
                                     env={"LMP_STANDIN_COUNT": harness.windows_path(count)})
        time.sleep(self.SETTLE_SECONDS)  # measured from here on
        before, flushed = wake_ups(viewer.pid), os.path.getsize(count)
        time.sleep(self.SECONDS)  # the span measured
        after = wake_ups(viewer.pid)
        flushes = (os.path.getsize(count) - flushed) / self.SECONDS
        wakes = sum(n - before.get(tid, 0) for tid, n in after.items()) / self.SECONDS
        self.close_within_a_second(game, viewer)
        return wakes, flushes

    def rounds(self, count):
        """Measures both rates `count` times, in turns first (60, 144, then 144, 60, ...) so
        that a drift of the machine's load falls on both; checks the flushes of each and
        returns the sums of the wake-ups after each round."""
        totals = {"60": 0.0, "144": 0.0}
        for round_ in range(count):
            for refresh in ("60", "144") if round_ % 2 == 0 else ("144", "60"):
                woke, flushes = self.measure(refresh)
                print("\nfrozen game at %s Hz: %.0f wake-ups, %.1f DwmFlush calls a second"
                      % (refresh, woke, flushes))
                self.assertLessEqual(flushes, 5, refresh)
                totals[refresh] += woke
            yield totals

    def test_a_frozen_game_has_the_viewer_flush_at_most_5_times_a_second(self):
        for _ in self.rounds(1):
            pass

    # Under Wine most of a frozen game's wake-ups are Wine server calls, whose number follows
    # the machine's load: with the builds beside, the two rates differed by up to 80 % from
    # round to round, while a viewer that woke at each refresh shows 50 % more at 144 Hz on an
    # idle machine. So the comparison runs on request, as the pacing measurements do.
    @unittest.skipUnless(os.environ.get("LMP_EXPECT_SMOOTH_PACING") == "1",
                         "needs an otherwise idle machine (set LMP_EXPECT_SMOOTH_PACING=1 to run)")
    def test_a_frozen_game_wakes_the_viewer_no_more_often_at_144_than_at_60_hz(self):
        # Three rounds at most, while the sums differ by over the margin.
        for totals in self.rounds(3):
            if totals["144"] <= 1.1 * totals["60"]:
                break
        self.assertLessEqual(totals["144"], 1.1 * totals["60"], totals)


# As in test_smooth_pacing.py: every frame is caught only where no other work holds the
# viewer's passes back. Run on request, on an otherwise idle machine.
@unittest.skipUnless(os.environ.get("LMP_EXPECT_SMOOTH_PACING") == "1",
                     "needs an otherwise idle machine (set LMP_EXPECT_SMOOTH_PACING=1 to run)")
class CompositorPacingTest(StandinViewerTest):
    def test_nearly_every_game_frame_shown_at_each_refresh_rate(self):
        if tuple(self.s.screen_size) != harness.SCREEN_SIZE:
            self.skipTest("needs a %dx%d screen" % harness.SCREEN_SIZE)
        for refresh in ("60", "59.94", "144"):
            with self.subTest(refresh=refresh):
                try:
                    game, viewer, frame_log = self.start(refresh)
                    spans = frame_clock.play_each_mode(self.s, game, SECONDS_PER_MODE)
                    self.close_within_a_second(game, viewer)
                    for mode, counts in frame_clock.count_spans(frame_log, spans).items():
                        with self.subTest(mode=mode):
                            self.assertLessEqual(counts["skipped_per_min"],
                                                 MOST_SKIPPED_PER_MINUTE, counts)
                finally:
                    self.programs.end()

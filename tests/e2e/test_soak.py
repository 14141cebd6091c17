"""A soak of about three minutes: the real viewer on a separate, animated stand-in game,
cycling the filters with F8 and switching between full screen and window with F6 every few
seconds, while the viewer's private memory is sampled from Linux. Run through run.py.

Memory is RssAnon of the viewer's Linux process (see viewer_watch.py for why that number).
It is sampled at the same point of every round (windowed, filter Off), since within a round
it swings by about a megabyte as the screen mode and the filter change: the work images and
surface buffers of each state are made and freed. At that point it stays equal to the KiB
from round to round on a sound viewer. The first round is the warm-up (each filter makes its
images on first use); its sample is the baseline.

The flip road's buffers come from Mesa's software rasteriser, through the C library's malloc,
whose threshold for giving large blocks back to the system moves with what was freed: the
same state then measured several megabytes apart from round to round. The viewer runs with
that threshold fixed, so a freed buffer is given back at once and the samples mean again
what they say.
"""

import time
import unittest

import base
import harness
import viewer_watch
from harness import GAME_CLASS, GAME_TITLE, VK_F6, VK_F8

FILTER_NAMES = ("Scale2x", "hq2x", "Off")  # what each F8 of a round selects, from Off
ROUNDS = 8            # one warm-up round, then seven measured ones: about three minutes
PAUSE = 1.5           # seconds the viewer runs in each state before the next key
# A sample may exceed the baseline by less than this. It is above the swing of one state
# change (about 1 MiB) so a late sample cannot fail a sound viewer, and below what the
# smallest fault worth finding adds over the soak: one lost 640x480 picture (1.2 MiB) per
# round or per F6 switch adds 7 MiB or more.
MARGIN_KIB = 2048
# Growth in each of the last three rounds, by more than this in all, is a leak still
# running even while under the margin: about 16 bytes lost per frame.
STEADY_KIB = 64
# Blocks of 128 KiB and more are mapped on their own and given back when freed.
FIXED_MALLOC_THRESHOLD = {"MALLOC_MMAP_THRESHOLD_": "131072"}


class SoakTest(base.E2ETest):
    def setUp(self):
        super().setUp()
        self.samples = []  # (seconds since start, what was just done, RssAnon KiB)

    # -- steps ----------------------------------------------------------------------------

    @staticmethod
    def run_in_state():
        time.sleep(PAUSE)  # the viewer runs in its new state before the next key

    def viewer_window(self):
        """The viewer window as it is now (it is made anew on each switch of screen mode)."""
        return self.s.wait_viewer(timeout=10)

    def sample(self, what):
        kib = viewer_watch.private_memory_kib(self.viewer.pid)
        self.samples.append((time.monotonic() - self.began, what, kib))
        return kib

    def select_filter(self, name):
        """F8 in the window; the overlay must name the new filter."""
        self.s.tap(VK_F8, self.game.hwnd)
        expected = "Filter: " + name
        seen = []

        def shows_name():
            seen.append(viewer_watch.grab_text(self.s, self.viewer_window(), len(expected)))
            return seen[-1] == expected
        try:
            harness.wait_until(shows_name, 2.5, "the overlay %r" % expected, interval=0.2)
        except harness.HarnessError:
            self.fail("overlay after F8 read %r, expected %r" % (seen[-3:], expected))
        self.run_in_state()

    def full_screen_and_back(self):
        """F6 to full screen and F6 back; the picture in the window must be a new one."""
        self.s.tap(VK_F6, self.game.hwnd)
        self.s.wait_viewer_mode(True, what="full screen after F6")
        self.run_in_state()
        self.s.tap(VK_F6, self.game.hwnd)
        window = self.s.wait_viewer_mode(False, what="the window after F6")
        self.run_in_state()
        picture = self.s.grab_viewer_frame(window)
        self.assertGreater(picture.colours(), 50, "the window shows a picture")
        self.assertNotEqual(picture.pixels, self.last_picture, "the picture still moves")
        self.last_picture = picture.pixels

    # -- the checks on the samples ---------------------------------------------------------

    def assert_no_growth(self, baseline, rounds):
        report = "baseline %d KiB, round ends %s; all samples %s" % (
            baseline, rounds, [(round(t), what, kib) for t, what, kib in self.samples])
        for kib in rounds[-3:]:
            self.assertLessEqual(kib - baseline, MARGIN_KIB, "private memory grew: " + report)
        last = [baseline] + rounds
        last = last[-4:]
        rising = all(b > a for a, b in zip(last, last[1:]))
        self.assertFalse(rising and last[-1] - last[0] > STEADY_KIB,
                         "private memory grows steadily: " + report)

    # -- the soak --------------------------------------------------------------------------

    def test_three_minutes_of_filter_and_screen_switches_leave_memory_flat(self):
        self.game = self.start_game()  # animated
        self.viewer = self.start_viewer(wait=False, env=FIXED_MALLOC_THRESHOLD)
        self.began = time.monotonic()
        self.last_picture = None
        self.viewer_window()
        self.s.wait_viewer_mode(True, what="the viewer's own switch to full screen")
        self.s.tap(VK_F6, self.game.hwnd)
        window = self.s.wait_viewer_mode(False, what="the window after the first F6")
        self.assertTrue(self.s.process_info(window["pid"])["d3d11"], "on the default road")
        self.sample("start")

        round_ends = []
        for number in range(ROUNDS):
            for name in FILTER_NAMES:
                self.select_filter(name)
                self.sample("F8 " + name)
                self.full_screen_and_back()
                self.sample("F6 F6")
            round_ends.append(self.samples[-1][2])
            self.assertIsNone(self.viewer.poll(), "the viewer ended in round %d" % number)
            self.assertIsNone(self.game.proc.poll(), "the game ended in round %d" % number)
        soaked = time.monotonic() - self.began
        print("\nsoak: %.0f s, RssAnon KiB at the round ends %s, lowest %d, highest %d"
              % (soaked, round_ends, min(s[2] for s in self.samples),
                 max(s[2] for s in self.samples)), flush=True)
        self.assertGreater(soaked, 150, "the soak ran for minutes")

        self.assert_no_growth(round_ends[0], round_ends[1:])
        # Each round crossed between Off and the filters twice, each time with one F5 for
        # the game; a lost key would have shown in the overlay already, a lost F5 shows here.
        self.assertEqual(self.game.log().count("key F5"), 2 * ROUNDS)
        self.assertEqual(self.viewer_log(), [], "the viewer logged no complaint")

        self.assertIsNone(self.viewer.poll(), "the viewer still runs")
        self.assertIsNone(self.game.proc.poll(), "the game still runs")
        self.assertIsNotNone(self.s.window(self.game.hwnd), "the game window still exists")
        self.close_viewer(self.game, self.viewer)
        self.assertIsNone(self.s.find_window(GAME_CLASS, GAME_TITLE))


if __name__ == "__main__":
    unittest.main()

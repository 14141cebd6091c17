"""Smooth pacing: the viewer full screen (1024x768) with pacing=smooth over the stand-in game
on its 60 Hz clock prints nearly every frame the game draws, in each filter mode; and the
frame counting that judges it. Run through run.py."""

import os
import unittest

import base
import frame_clock
import harness

SECONDS_PER_MODE = 30
MOST_SKIPPED_PER_MINUTE = 6


class FrameCountingTest(unittest.TestCase):
    def test_skipped_and_repeated_frames(self):
        p = 1000.0 / 60
        cases = [  # prints (frame, ms), span in periods, expected (frames, skipped, repeated)
            ("every frame once", [(f, f * p + 5) for f in range(6)], (0, 6), (6, 0, 0)),
            ("printed twice", [(0, 1), (0, 10), (1, p + 1), (2, 2 * p + 1)], (0, 3), (3, 0, 0)),
            ("one missed", [(0, 1), (1, p + 1), (3, 3 * p + 1), (4, 4 * p + 1)], (0, 5),
             (5, 1, 1)),
            ("late, then early", [(0, 16), (1, p + 1), (2, 2 * p + 16), (3, 3 * p + 1)], (0, 4),
             (4, 0, 0)),
            ("two missed", [(0, 1), (3, 3 * p + 1)], (0, 4), (4, 2, 1)),
            ("span mid-period", [(f, f * p + 1) for f in range(10) if f != 5], (2.5, 7.5),
             (5, 1, 1)),
        ]
        for name, prints, (begin, end), expected in cases:
            with self.subTest(name):
                counts = frame_clock.count_frames(frame_clock.FrameLog(60, 0.0, prints),
                                                  begin * p, end * p)
                self.assertEqual((counts["frames"], counts["skipped"], counts["repeated"]),
                                 expected)


# Every frame is caught only where no other work holds the viewer's passes back: on a loaded
# machine passes start late and frames go by. Run on request, on an otherwise idle machine.
@unittest.skipUnless(os.environ.get("LMP_EXPECT_SMOOTH_PACING") == "1",
                     "needs an otherwise idle machine (set LMP_EXPECT_SMOOTH_PACING=1 to run)")
class SmoothPacingTest(base.E2ETest):
    def test_every_game_frame_printed_in_each_filter_mode(self):
        s = self.s
        if tuple(s.screen_size) != harness.SCREEN_SIZE:
            self.skipTest("needs a %dx%d screen" % harness.SCREEN_SIZE)
        frame_log = self.programs.path("frames.log")
        game = frame_clock.start_clock_game(s, frame_log)
        self.programs.procs.append(game.proc)
        with open(os.path.join(self.programs.folder, "lumenpane.ini"), "w", newline="\r\n") as f:
            f.write("[display]\npacing=smooth\n")
        viewer = self.programs.start_viewer(wait=False)
        s.wait_viewer_mode(True, timeout=30)
        spans = frame_clock.play_each_mode(s, game, SECONDS_PER_MODE)
        s.close_window(s.wait_viewer()["hwnd"])
        self.assertEqual((s.wait_exit(game.proc, 15), s.wait_exit(viewer, 15)), (0, 0))
        for mode, counts in frame_clock.count_spans(frame_log, spans).items():
            with self.subTest(mode):
                self.assertLessEqual(counts["skipped_per_min"], MOST_SKIPPED_PER_MINUTE, counts)

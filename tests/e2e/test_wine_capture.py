"""The real viewer under Wine shows the picture of a separate stand-in game process. Wine
cannot print a window of another process, so this goes through the capture helper the viewer
loads into the game; the tests also check that the helper never outlives its viewer and that
a game without the helper behaves as before. Run through run.py."""

import os
import shutil
import subprocess
import time
import unittest

import base
import harness
from harness import VK_F6, VK_F8

PICTURE = harness.VIEWER_FRAME_SIZE


class WineCaptureTest(base.E2ETest):
    # -- steps ----------------------------------------------------------------------------

    def start_game(self):
        return super().start_game(frozen=True, dump=True)

    def start_viewer(self):
        """The viewer, once it has made its own switch to full screen a second after start."""
        viewer = super().start_viewer()
        self.s.wait_viewer_mode(True, what="the viewer's own switch to full screen")
        return viewer

    def threads(self, game):
        return self.s.process_info(game.window["pid"])["threads"]

    def wait_threads(self, game, count, timeout):
        began = time.monotonic()
        harness.wait_until(lambda: self.threads(game) == count, timeout,
                           "the game to have %d threads (has %s)" % (count, self.threads(game)))
        return time.monotonic() - began

    def viewer_window(self):
        # Looked up each time: the viewer makes its window anew when it reopens its surface,
        # so for a moment there may be none.
        return self.s.wait_viewer(timeout=10)

    def shown_picture(self):
        """The viewer's client area in its framed 640x480 window; a viewer that went full
        screen is first switched back with F6."""
        window = self.viewer_window()
        if window["client"] != list(PICTURE):
            self.s.set_foreground(window["hwnd"])
            self.s.press_key(VK_F6)
            harness.wait_until(lambda: self.viewer_window()["client"] == list(PICTURE), 10,
                               "the viewer to come back to its window")
        return self.s.grab_viewer_frame(self.viewer_window())

    def assert_shows(self, expected, timeout=15):
        """The viewer shows `expected` within the timeout (its first frames may still be
        black while a loaded machine starts it)."""
        last = []

        def same():
            last.append(harness.compare_images(self.shown_picture(), expected))
            return last[-1] is None
        harness.poll(same, timeout)
        difference = last[-1]
        if difference:
            self.s.screenshot(os.environ.get("LMP_E2E_SHOT", self.s.file("shot.png")))
        self.assertIsNone(difference, "%s; viewer %r; log %r"
                          % (difference, self.s.find_viewer(), self.viewer_log()))

    def scaled_reference(self, frame, filter_name):
        """The frozen frame doubled by lumenpane-scale (the Windows build of the tool, under
        Wine), read back through ImageMagick."""
        source, target = self.s.file("frame.png"), self.s.file("scaled-%s.png" % filter_name)
        harness.write_png(source, frame)
        code, out = self.s.run_to_end(self.s.exe("tools/lumenpane-scale.exe"),
                                      ["--filter", filter_name, harness.windows_path(source),
                                       harness.windows_path(target)])
        self.assertEqual(code, 0, out)
        raw = subprocess.run(["convert", target, "-depth", "8", "rgb:-"], check=True,
                             stdout=subprocess.PIPE).stdout
        pixels = [raw[i] << 16 | raw[i + 1] << 8 | raw[i + 2] for i in range(0, len(raw), 3)]
        return harness.Image(PICTURE[0], PICTURE[1], pixels)

    # -- tests ----------------------------------------------------------------------------

    def test_viewer_shows_the_other_process_picture_bit_for_bit(self):
        game = self.start_game()
        before = self.threads(game)
        viewer = self.start_viewer()
        expected = game.frozen_frame().doubled()
        self.assert_shows(expected)
        self.assertEqual(self.threads(game), before + 1, "the helper runs as one thread")
        self.assertEqual(self.viewer_log(), [], "the helper was used without complaint")
        self.close_game(game, viewer)

    @unittest.skipUnless(shutil.which("convert"), "ImageMagick reads the tool's PNG files")
    def test_filters_show_what_the_scale_tool_makes_of_the_same_frame(self):
        game = self.start_game()
        viewer = self.start_viewer()
        frame = game.frozen_frame()
        self.assert_shows(frame.doubled())
        for filter_name in ("scale2x", "hq2x"):
            self.s.set_foreground(self.viewer_window()["hwnd"])
            self.s.press_key(VK_F8)
            # Shown once the filter has changed and its name over the picture has gone.
            self.assert_shows(self.scaled_reference(frame, filter_name))
        self.close_game(game, viewer)

    def test_killed_viewer_leaves_the_game_running_and_a_second_viewer_attaches(self):
        game = self.start_game()
        before = self.threads(game)
        viewer = self.start_viewer()
        self.wait_threads(game, before + 1, 10)
        viewer.kill()
        viewer.wait()
        killed = time.monotonic()
        # Every probe takes a while to start; one that starts a second after the kill must
        # find the helper gone.
        gone = harness.poll(lambda: self.threads(game) == before,
                            max(0.0, killed + 1.0 - time.monotonic()))
        self.assertTrue(gone, "helper thread gone within a second")
        self.assertEqual(self.threads(game), before)
        self.assertIsNone(game.proc.poll(), "the game still runs")
        self.assertIsNotNone(self.s.window(game.hwnd))

        second = self.start_viewer()
        expected = game.frozen_frame().doubled()
        self.assert_shows(expected)
        self.assertEqual(self.threads(game), before + 1)
        # A game that dies (no WM_CLOSE) ends the viewer as well, with exit code 0.
        game.proc.kill()
        game.proc.wait()
        self.assertEqual(self.s.wait_exit(second, 15), 0)
        self.assertEqual(self.viewer_log(), [])


if __name__ == "__main__":
    unittest.main()

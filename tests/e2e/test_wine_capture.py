"""The real viewer under Wine shows the picture of a separate stand-in game process. Wine
cannot print a window of another process, so this goes through the capture helper the viewer
loads into the game; the tests also check that the helper never outlives its viewer and that
a game without the helper behaves as before. Run through run.py."""

import os
import shutil
import subprocess
import time
import unittest

import harness
from harness import VK_F6, VK_F8

PICTURE = harness.VIEWER_FRAME_SIZE


class WineCaptureTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.s = harness.shared_session()
        # The viewer writes lumenpane.log beside itself: give it a folder of its own.
        cls.viewer_exe = cls.s.private_copy("src/lumenpane.exe", "viewer")

    def setUp(self):
        self.started = []

    def tearDown(self):
        harness.kill_running(self.started)

    # -- steps ----------------------------------------------------------------------------

    def start_game(self):
        game = self.s.start_game(frozen=True, dump=True)
        self.started.append(game.proc)
        harness.wait_until(lambda: os.path.exists(game.dump_path), 10, "the frame dump")
        time.sleep(0.2)  # the dump is written in one go
        return game

    def start_viewer(self):
        viewer = self.s.run(self.viewer_exe)
        self.started.append(viewer)
        self.s.wait_viewer(timeout=20)
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
        time.sleep(1.5)  # past the switch to full screen, if the viewer makes it
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
        deadline = time.monotonic() + timeout
        while True:
            difference = harness.compare_images(self.shown_picture(), expected)
            if difference is None or time.monotonic() > deadline:
                break
        if difference:
            self.s.screenshot(os.environ.get("LMP_E2E_SHOT", self.s.file("shot.png")))
        self.assertIsNone(difference, "%s; viewer %r; log %r"
                          % (difference, self.s.find_viewer(), self.log_lines()))

    def log_lines(self):
        return harness.viewer_log(self.viewer_exe)

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
        self.assertEqual(self.log_lines(), [], "the helper was used without complaint")
        self.s.send_close(game.hwnd)
        self.assertEqual(self.s.wait_exit(game.proc, 15), 0)
        self.assertEqual(self.s.wait_exit(viewer, 15), 0, "the viewer ends with the game")

    @unittest.skipUnless(shutil.which("convert"), "ImageMagick reads the tool's PNG files")
    def test_filters_show_what_the_scale_tool_makes_of_the_same_frame(self):
        game = self.start_game()
        viewer = self.start_viewer()
        frame = game.frozen_frame()
        self.assert_shows(frame.doubled())
        for filter_name in ("scale2x", "hq2x"):
            self.s.set_foreground(self.viewer_window()["hwnd"])
            self.s.press_key(VK_F8)
            time.sleep(3.5)  # the filter's name shows over the picture for three seconds
            self.assert_shows(self.scaled_reference(frame, filter_name))
        self.s.send_close(game.hwnd)
        self.assertEqual(self.s.wait_exit(game.proc, 15), 0)
        self.assertEqual(self.s.wait_exit(viewer, 15), 0)

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
        time.sleep(max(0.0, killed + 1.0 - time.monotonic()))
        self.assertEqual(self.threads(game), before, "helper thread gone within a second")
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
        self.assertEqual(self.log_lines(), [])


if __name__ == "__main__":
    unittest.main()

"""The display fit chosen in lumenpane.ini, seen on a 1920x1080 screen of its own: the real
viewer on a frozen stand-in game in filter Off (so its 640x480 frame is the game's picture
doubled), full screen with each fit, and 1:1 after F6 to the window. Run through run.py."""

import os
import unittest

import base
import harness
from harness import VK_F6

SCREEN = (1920, 1080)
BLACK = 0


def colours_of_columns(image, left, right):
    """The set of colours in columns left..right-1 of an image."""
    found = set()
    for y in range(image.height):
        found.update(image.pixels[y * image.width + left:y * image.width + right])
    return found


class FullHdViewerTest(base.E2ETest):
    """The frozen game on a 1920x1080 screen of its own, and one viewer per test with the
    lumenpane.ini it is given. No tests of its own; the tests of that screen derive from it."""

    screen_size = SCREEN

    @classmethod
    def start_class(cls):
        # The game runs through all tests; each test's viewer takes it over from the last.
        cls.game = cls.for_class.start_game(frozen=True, dump=True)
        cls.frame = cls.game.frozen_frame().doubled()

    # -- steps ----------------------------------------------------------------------------

    def start_viewer(self, ini_text=None):
        if ini_text is not None:
            ini = os.path.join(os.path.dirname(self.viewer_exe), "lumenpane.ini")
            with open(ini, "w", newline="\r\n") as f:
                f.write(ini_text)
        super().start_viewer()

    def assert_full_screen_shows(self, check, timeout=20):
        """Waits until the viewer covers the screen and check(screen) returns None (the first
        frames of a viewer on a loaded machine may still be black); fails with its text."""
        problems = []

        def shows():
            window = self.s.wait_viewer()
            problem = "the viewer is not full screen: %r" % window["rect"]
            if self.s.viewer_full_screen(window):
                problem = check(self.s.grab(0, 0, *SCREEN))
            problems.append(problem)
            return problem is None
        if not harness.poll(shows, timeout, interval=0.3):
            self.s.screenshot(os.environ.get("LMP_E2E_SHOT", self.s.file("fit.png")))
            self.fail(problems[-1])


class DisplayFitTest(FullHdViewerTest):
    # -- what the screen must show --------------------------------------------------------

    def stretched(self, screen):
        # 3x across: each third of the screen's width holds exactly the colours of the
        # matching third of the frame; 2.25x down repeats every frame row at least once.
        for left, right in ((0, 80), (280, 360), (560, 640)):
            want = colours_of_columns(self.frame, left, right)
            got = colours_of_columns(screen, left * 3, right * 3)
            if got != want:
                return "columns %d..%d: %d colours, frame columns %d..%d have %d" % (
                    left * 3, right * 3, len(got), left, right, len(want))
        return None

    def between_bars(self, screen):
        # 1440x1080 at (240, 0): 240-pixel black bars, the frame's edge columns at the
        # picture's edges and every frame colour in between.
        for left, right in ((0, 240), (1680, 1920)):
            if colours_of_columns(screen, left, right) != {BLACK}:
                return "columns %d..%d are not all black" % (left, right)
        for column, source in ((240, 0), (1679, 639)):
            if colours_of_columns(screen, column, column + 1) != colours_of_columns(
                    self.frame, source, source + 1):
                return "screen column %d differs from frame column %d" % (column, source)
        if colours_of_columns(screen, 240, 1680) != set(self.frame.pixels):
            return "the picture between the bars lacks frame colours"
        return None

    def doubled_in_black(self, screen):
        # 1280x960 at (320, 60): every frame pixel a 2x2 block, black around it.
        difference = harness.compare_images(screen.crop(320, 60, 1280, 960),
                                            self.frame.doubled())
        if difference:
            return "the picture at (320, 60): " + difference
        for x, y, w, h in ((0, 0, 1920, 60), (0, 1020, 1920, 60), (0, 60, 320, 960),
                           (1600, 60, 320, 960)):
            if screen.crop(x, y, w, h).colours() != 1 or screen.at(x, y) != BLACK:
                return "the border %r is not black" % ((x, y, w, h),)
        return None

    # -- tests ----------------------------------------------------------------------------

    def test_without_a_file_the_frame_is_stretched_and_nothing_is_logged(self):
        self.start_viewer()
        self.assert_full_screen_shows(self.stretched)
        self.assertEqual(self.viewer_log(), [])

    def test_aspect_keeps_the_shape_and_the_window_shows_the_frame_one_to_one(self):
        self.start_viewer("; keep the shape\n[display]\n  fit = Aspect  \n")
        self.assert_full_screen_shows(self.between_bars)
        self.assertEqual(self.viewer_log(), [])

        self.s.tap(VK_F6)
        window = self.s.wait_viewer_mode(False)
        harness.poll(lambda: harness.compare_images(self.s.grab_viewer_frame(window),
                                                    self.frame) is None, 5, interval=0.3)
        self.assertIsNone(harness.compare_images(self.s.grab_viewer_frame(window), self.frame))

    def test_integer_doubles_every_pixel_in_a_black_surround(self):
        self.start_viewer("[other]\nfit=aspect\n[display]\nfit=integer\n")
        self.assert_full_screen_shows(self.doubled_in_black)
        self.assertEqual(self.viewer_log(), [])

    def test_an_unknown_value_stretches_and_is_named_in_the_log(self):
        self.start_viewer("[display]\nfit=zoom\n")
        self.assert_full_screen_shows(self.stretched)
        lines = self.viewer_log()
        self.assertEqual(len(lines), 1, lines)
        self.assertIn('"zoom"', lines[0])


if __name__ == "__main__":
    unittest.main()

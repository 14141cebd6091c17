"""The display fit chosen in lumenpane.ini, seen on a 1920x1080 screen of its own: the real
viewer on a frozen stand-in game in filter Off (so its 640x480 frame is the game's picture
doubled), full screen with each fit, and in windows of each size after F6. Run through run.py."""

import os
import unittest

import base
import frame_clock
import harness
from harness import VK_F6, VK_F7

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

    def start_viewer(self, ini_text=None, env=None):
        if ini_text is not None:
            ini = os.path.join(os.path.dirname(self.viewer_exe), "lumenpane.ini")
            with open(ini, "w", newline="\r\n") as f:
                f.write(ini_text)
        super().start_viewer(env=env)

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

    def in_window_of(self, client):
        """F6 from full screen; the viewer window once its client area is that size."""
        self.s.wait_viewer_mode(True)
        self.s.tap(VK_F6)
        return self.s.wait_viewer_state(lambda w: not w["topmost"] and w["client"] == client,
                                        "a %dx%d client" % tuple(client))

    def client_shows(self, check):
        """Polls the client area's pixels until check(them) is None (fails with its text)."""
        grabs = []

        def shows():
            window = self.s.wait_viewer()
            grabs.append(self.s.grab(*harness.viewer_client_origin(window), *window["client"]))
            return check(grabs[-1]) is None
        if not harness.poll(shows, 10, interval=0.3):
            self.fail(check(grabs[-1]))
        return grabs[-1]

    def aspect_in_900x700(self, client):
        # 900x675 at (0, 12), 12 black rows above and 13 below, the frame's edge rows its edges.
        rows = [set(client.crop(0, y, 900, 1).pixels) for y in (0, 11, 12, 686, 687, 699)]
        top, bottom = (set(self.frame.crop(0, y, 640, 1).pixels) for y in (0, 479))
        if rows != [{BLACK}, {BLACK}, top, bottom, {BLACK}, {BLACK}]:
            return "not the picture at 900x675 between black bars"
        return None

    def test_window_2_shows_the_frame_doubled(self):
        self.start_viewer("[display]\nwindow=2\n")
        self.in_window_of([1280, 960])
        self.client_shows(lambda c: harness.compare_images(c, self.frame.doubled()))
        self.assertEqual(self.viewer_log(), [])

    def test_largest_is_2x_dragged_by_its_corner_maximised_and_kept_through_f6(self):
        self.start_viewer("[display]\nwindow=largest\nfit=aspect\n")
        _, _, right, bottom = self.in_window_of([1280, 960])["rect"]
        # The bottom right corner dragged and held: the picture follows, and the render thread
        # goes on (the counter, F7, appears).
        self.addCleanup(self.s.pointer, "mouseup", 1)
        self.s.pointer("mousemove", right - 2, bottom - 2, "mousedown", 1, "sleep", 0.2,
                       "mousemove", right - 200, bottom - 100, "sleep", 0.2,
                       "mousemove", right - 382, bottom - 262)
        window = self.s.wait_viewer_state(lambda w: w["client"] == [900, 700], "a 900x700 client")
        before = self.client_shows(self.aspect_in_900x700)
        self.s.tap(VK_F7)
        self.client_shows(lambda c: None if harness.compare_images(c, before) else "no counter")
        self.s.pointer("mouseup", 1)
        self.s.maximize(window["hwnd"])
        # Maximised: the style says so a moment before the window has its new size.
        maximised = self.s.wait_viewer_state(
            lambda w: w["style"] & 0x01000000 and w["client"] != [900, 700], "maximised")
        self.s.tap(VK_F6)
        back = self.in_window_of(maximised["client"])
        self.assertEqual((back["rect"], back["style"]), (maximised["rect"], maximised["style"]))
        self.s.restore(back["hwnd"])
        self.s.wait_viewer_state(lambda w: w["client"] == [900, 700], "the dragged size again")

    def meter_road(self, frame=(320, 60, 2, 2)):
        """The road the full meter's top line names, the frame doubled at (320, 60) or where
        `frame` puts it (as for frame_clock.full_screen_text); the longer name read first."""
        for name in ("flip, tearing", "flip", "GDI"):
            if frame_clock.full_screen_text(self.s, len(name), frame) == name:
                return name
        return None

    def test_flip_where_asked_and_gdi_where_d3d11_is_refused_show_the_same_picture(self):
        screens, roads = [], []
        for env, road in ((None, "flip"), ({"WINEDLLOVERRIDES": "mscoree,mshtml=;d3d11=d"}, "GDI")):
            self.programs.end(leftovers=False)
            self.start_viewer("[display]\nfit=integer\nmeter=full\npresent=auto\n", env)
            self.s.wait_viewer_mode(True)
            self.s.tap(VK_F7)  # the meter's top line, then the picture on that road without it
            harness.wait_until(lambda: self.meter_road() == road, 20, "the meter naming " + road)
            self.s.tap(VK_F7)
            self.assert_full_screen_shows(self.doubled_in_black)
            screens.append(self.s.grab(0, 0, *SCREEN))
            roads.append(self.s.process_info(self.s.wait_viewer()["pid"])["d3d11"])
            # F6 there and back: the frame 1:1 in the window, then the whole screen again.
            self.in_window_of(list(harness.VIEWER_FRAME_SIZE))
            self.client_shows(lambda c: harness.compare_images(c, self.frame))
            self.s.tap(VK_F6)
            self.assert_full_screen_shows(self.doubled_in_black)
        self.assertEqual(roads, [True, False])
        self.assertIsNone(harness.compare_images(screens[1], screens[0]))
        lines = self.viewer_log()
        self.assertEqual(len(lines), 1, lines)
        self.assertIn("d3d11.dll", lines[0])

    def test_tearing_allowed_while_the_picture_covers_the_monitor_and_no_longer_in_a_window(self):
        self.start_viewer("[display]\nfit=integer\nmeter=full\npresent=auto\ntearing=allow\n")
        self.s.wait_viewer_mode(True)
        self.s.tap(VK_F7)
        harness.wait_until(lambda: self.meter_road() == "flip, tearing", 20,
                           "the meter naming flip, tearing")
        self.s.tap(VK_F7)
        self.assert_full_screen_shows(self.doubled_in_black)
        # The framed window does not cover its monitor: presented in step with the refresh.
        window = self.in_window_of(list(harness.VIEWER_FRAME_SIZE))
        self.client_shows(lambda c: harness.compare_images(c, self.frame))
        self.s.tap(VK_F7)
        client = (*harness.viewer_client_origin(window), 1, 1)
        harness.wait_until(lambda: self.meter_road(client) == "flip", 10, "the meter naming flip")
        self.assertEqual(self.viewer_log(), [])  # no fall-back to GDI on the way

    def test_an_unknown_value_stretches_and_is_named_in_the_log(self):
        self.start_viewer("[display]\nfit=zoom\n")
        self.assert_full_screen_shows(self.stretched)
        lines = self.viewer_log()
        self.assertEqual(len(lines), 1, lines)
        self.assertIn('"zoom"', lines[0])


if __name__ == "__main__":
    unittest.main()

"""The screens players have, each on a session of its own: full screen on the monitor
lumenpane.ini chooses of two side by side (a Xephyr with two Xinerama screens), following the
display's size as a program changes it (Wine's virtual desktop), and display scaling at
200 % and 150 % (the registry's LogPixels; DpiScalingVer makes Wine keep unaware programs
unaware): the viewer's own window is per-monitor aware and its framed client area keeps the
size players see at 100 %, scaled, while the game stays unaware; dpi=unaware keeps the viewer
as it was. Wine does not stretch unaware windows, so the blur this saves players from shows
only on Windows. Run through run.py."""

import time

import base
import harness
from harness import VK_F6
from test_display_fit import FullHdViewerTest

# Wine's virtual desktop: one X window of this size, which ChangeDisplaySettings resizes;
# outside it Wine refuses the change on Xvfb.
VIRTUAL_DESKTOP = (
    (r"HKCU\Software\Wine\Explorer", "Desktop", "REG_SZ", "Default"),
    (r"HKCU\Software\Wine\Explorer\Desktops", "Default", "REG_SZ", "1024x768"),
)
LEFT, RIGHT = [0, 0, 800, 600], [800, 0, 1600, 600]
FOLLOW_SECONDS = 1.0  # how soon after a display change full screen covers the new screen
UNAWARE, PER_MONITOR = 0, 2  # DPI awareness, as the probe tells it


def full_screen_over(rect):
    """A predicate: the viewer window covers rect, visible and on top of the others."""
    return lambda window: window["visible"] and window["topmost"] and window["rect"] == rect


def wait_full_screen_over(test, rect, what):
    """Waits until the viewer covers rect; fails naming where it is instead."""
    try:
        return test.s.wait_viewer_state(full_screen_over(rect), what, timeout=20)
    except harness.HarnessError:
        test.fail("no %s: the viewer is at %r" % (what, (test.s.find_viewer() or {}).get("rect")))


class DisplayChangeTest(base.E2ETest):
    registry = VIRTUAL_DESKTOP

    def test_full_screen_follows_each_new_desktop_size_within_a_second(self):
        self.start_game(frozen=True)
        self.start_viewer()
        wait_full_screen_over(self, [0, 0, 1024, 768], "full screen over the 1024x768 desktop")
        for size in ((800, 600), (1024, 768)):
            rect = [0, 0, *size]
            changed = self.s.probe("display-mode", *size)[0]["screen"]
            called = time.monotonic()
            self.assertEqual(changed, list(size), "the desktop's size after the change")
            harness.within(called, FOLLOW_SECONDS,
                           lambda: full_screen_over(rect)(self.s.find_viewer() or {"visible": 0}),
                           "full screen over the %dx%d desktop" % size)
        self.assertEqual(self.viewer_log(), [])


class TwoMonitorTest(base.E2ETest):
    monitors = ((800, 600), (800, 600))

    def start_on(self, monitor, game_at):
        """The game at game_at, then the viewer with monitor=... in its lumenpane.ini."""
        with open(self.programs.path("lumenpane.ini"), "w", newline="\r\n") as f:
            f.write("[display]\nmonitor=%s\n" % monitor)
        self.start_game(frozen=True, pos=game_at)
        self.start_viewer()

    def test_a_fixed_choice_covers_its_monitor_wherever_the_game_is(self):
        for monitor, game_at, rect in (("primary", (840, 40), LEFT), ("2", (40, 40), RIGHT)):
            with self.subTest(monitor=monitor):
                try:
                    self.start_on(monitor, game_at)
                    wait_full_screen_over(self, rect, "full screen over %r" % rect)
                    self.assertEqual(self.viewer_log(), [])
                finally:
                    self.programs.end()

    def test_game_covers_the_game_monitor_then_the_framed_window_monitor(self):
        self.start_on("game", (840, 40))
        wait_full_screen_over(self, RIGHT, "full screen over the game's monitor")

        self.s.tap(VK_F6)
        framed = self.s.wait_viewer_mode(False)
        self.assertGreaterEqual(framed["rect"][0], RIGHT[0], "framed on the game's monitor")
        framed = self.s.move_window(framed["hwnd"], 40, 40)
        self.assertLessEqual(framed["rect"][2], LEFT[2], "framed window on the first monitor")
        self.s.tap(VK_F6, front=framed["hwnd"])
        wait_full_screen_over(self, LEFT, "full screen over the framed window's monitor")
        self.assertEqual(self.viewer_log(), [])


def scaling(dpi):
    desktop = r"HKCU\Control Panel\Desktop"
    return ((desktop, "LogPixels", "REG_DWORD", dpi),
            (desktop, "DpiScalingVer", "REG_DWORD", "0x1018"))


class ScaledDisplayTest(FullHdViewerTest):
    """One screen at one DPI; the tests derive from it."""

    def framed_viewer(self, ini_text=None):
        """Starts the viewer, waits for full screen, then F6 to its frame; returns the viewer
        window and what the probe tells of it (awareness, dpi, client in real pixels)."""
        self.start_viewer(ini_text)
        self.s.wait_viewer_state(lambda w: self.s.viewer_full_screen(w), "the viewer full screen")
        self.s.tap(VK_F6)
        window = self.s.wait_viewer_state(lambda w: w["visible"] and not w["topmost"],
                                          "the viewer in its frame")
        return window, self.s.probe("dpi", window["hwnd"])[0]


class At200PercentTest(ScaledDisplayTest):
    registry = scaling(192)

    def test_aware_frame_shows_every_pixel_as_a_two_by_two_block(self):
        window, viewer = self.framed_viewer()
        game = self.s.probe("dpi", self.game.hwnd)[0]
        self.assertEqual((viewer["awareness"], viewer["dpi"], viewer["client"]),
                         (PER_MONITOR, 192, [1280, 960]))
        self.assertEqual(game["awareness"], UNAWARE)

        # The rectangle is in real pixels: a border of equal width left, right and below.
        left, _, right, bottom = window["rect"]
        border = (right - left - 1280) // 2
        expected = self.frame.doubled()

        def shows():
            grabbed = self.s.grab(left + border, bottom - border - 960, 1280, 960)
            return harness.compare_images(grabbed, expected)
        harness.poll(lambda: shows() is None, 10, interval=0.3)
        self.assertIsNone(shows())
        self.assertEqual(self.viewer_log(), [])

    def test_unaware_choice_keeps_the_window_as_it_was(self):
        if harness.wine_env()[0] == "i686":
            # Seen under 32-bit Wine 8 alone: the unaware viewer covers 972x552 of the
            # 1920x1080 screen full screen, and its frame is as large as that.
            self.skipTest("32-bit Wine does not scale an unaware window at 200 %")
        _, viewer = self.framed_viewer("[display]\ndpi=unaware\n")
        self.assertEqual((viewer["awareness"], viewer["client"]), (UNAWARE, [640, 480]))


class At150PercentTest(ScaledDisplayTest):
    registry = scaling(144)

    def test_aware_frame_is_one_and_a_half_times_as_large(self):
        _, viewer = self.framed_viewer()
        self.assertEqual((viewer["awareness"], viewer["client"]), (PER_MONITOR, [960, 720]))

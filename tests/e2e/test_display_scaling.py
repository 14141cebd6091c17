"""Display scaling, seen on 1920x1080 screens of their own at 200 % and 150 % (the registry's
LogPixels; DpiScalingVer makes Wine keep unaware programs unaware): the viewer's own window
is per-monitor aware and its framed client area keeps the size players see at 100 %, scaled,
while the game stays unaware; dpi=unaware keeps the viewer as it was. Wine does not stretch
unaware windows, so the blur this saves players from shows only on Windows. Run through
run.py."""

import base
import harness
from harness import VK_F6
from test_display_fit import FullHdViewerTest

UNAWARE, PER_MONITOR = 0, 2


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
        _, viewer = self.framed_viewer("[display]\ndpi=unaware\n")
        self.assertEqual((viewer["awareness"], viewer["client"]), (UNAWARE, [640, 480]))


class At150PercentTest(ScaledDisplayTest):
    registry = scaling(144)

    def test_aware_frame_is_one_and_a_half_times_as_large(self):
        _, viewer = self.framed_viewer()
        self.assertEqual((viewer["awareness"], viewer["client"]), (PER_MONITOR, [960, 720]))

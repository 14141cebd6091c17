"""Full screen on the monitor lumenpane.ini chooses, and after the display changes: the real
viewer on the stand-in game in Wine's virtual desktop (which a program may resize) and on
two monitors side by side (a Xephyr with two Xinerama screens). Run through run.py."""

import time
import unittest

import base
import harness
from harness import VK_F6

# Wine's virtual desktop: one X window of this size, which ChangeDisplaySettings resizes;
# outside it Wine refuses the change on Xvfb.
VIRTUAL_DESKTOP = (
    (r"HKCU\Software\Wine\Explorer", "Desktop", "REG_SZ", "Default"),
    (r"HKCU\Software\Wine\Explorer\Desktops", "Default", "REG_SZ", "1024x768"),
)
LEFT, RIGHT = [0, 0, 800, 600], [800, 0, 1600, 600]
FOLLOW_SECONDS = 1.0  # how soon after a display change full screen covers the new screen


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


if __name__ == "__main__":
    unittest.main()

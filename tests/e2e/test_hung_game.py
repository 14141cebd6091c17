"""A game that stops answering for a while does not stop the viewer: hot keys act within a
second, a close click blocks nothing and closes the game once it answers again, and the
picture moves again after the hang. The stand-in game's F3 stops its window thread for
LMP_DEMO_HANG_SECONDS. Run through run.py.

The real viewer on a separate game prints through the capture helper; PrintWindow itself
waits on the game's thread only within one process, so the same-process host checks the
viewer's own print path during a hang."""

import sys
import time
import unittest

import base
import harness
import viewer_watch
from harness import GAME_CLASS, VK_F6, VK_F7

VK_F3 = 0x72  # the stand-in game's hang key (F9 saves a screenshot in the viewer)
HANG_SECONDS = 10
PROMPT = 1.0  # a hot key acts within this many seconds, also during a hang


class HungGameTest(base.E2ETest):
    # -- steps ----------------------------------------------------------------------------

    def mode(self):
        """"full" or "window" while the viewer window is shown in either mode, else None."""
        w = self.s.find_viewer()
        if w and self.s.viewer_full_screen(w):
            return "full"
        return "window" if w and self.s.viewer_windowed(w) else None

    def press_apart(self, vk):
        """Presses a hot key; returns the time it went down."""
        time.sleep(0.3)  # apart from an earlier press, which the viewer's latch holds for a pass
        pressed = time.monotonic()
        self.s.press_key(vk)
        return pressed

    def switch(self, to):
        """F6, then waits for the mode; returns the seconds it took."""
        pressed = self.press_apart(VK_F6)
        harness.wait_until(lambda: self.mode() == to, 15, "the viewer in mode %s" % to,
                           interval=0.02)
        return time.monotonic() - pressed

    def counter_shown(self):
        w = self.s.find_viewer()
        return bool(w) and viewer_watch.grab_text(self.s, w, 4) == "FPS:"

    def toggle_counter(self, on):
        self.press_apart(VK_F7)
        pressed = time.monotonic()  # the key is down and up again (the probe run not counted)
        harness.within(pressed, PROMPT, lambda: self.counter_shown() == on,
                       "F7: the counter %s" % ("shown" if on else "hidden"), timeout=5)

    def hang(self, log):
        """F3 for the game, which stops answering; returns when its log says so."""
        game = self.s.find_window(GAME_CLASS)
        self.s.set_foreground(game["hwnd"])
        count = log().count("hang %d" % self.hang_seconds)
        self.s.press_key(VK_F3)
        harness.wait_until(lambda: log().count("hang %d" % self.hang_seconds) > count, 10,
                           "the game to hang")
        return time.monotonic()

    def picture(self):
        return self.s.grab_viewer_frame(self.s.wait_viewer()).crop(0, 100, 640, 380)

    def picture_moves(self):
        """Whether the picture changes within 0.3 s."""
        first = self.picture()
        return harness.poll(lambda: self.picture().pixels != first.pixels, 0.3)

    def start_windowed(self):
        harness.wait_until(lambda: self.mode() == "full", 30, "the viewer full screen")
        self.switch("window")

    # -- tests ----------------------------------------------------------------------------

    def use_pacing(self, pacing):
        """lumenpane.ini beside the programs of this test choosing the pacing."""
        with open(self.programs.path("lumenpane.ini"), "w", newline="\r\n") as ini:
            ini.write("[display]\npacing=%s\n" % pacing)

    def test_a_separate_game_that_hangs(self):
        self.run_separate_game_through_a_hang("fixed")

    def test_a_separate_game_that_hangs_with_the_smooth_pacing(self):
        self.run_separate_game_through_a_hang("smooth")

    def run_separate_game_through_a_hang(self, pacing):
        self.use_pacing(pacing)
        self.hang_seconds = HANG_SECONDS
        game = self.start_game(hang=HANG_SECONDS)
        viewer = self.start_viewer(wait=False)
        self.start_windowed()
        harness.wait_until(self.picture_moves, 10, "the animated picture")
        # The requests that keep the game parked do not wait for it; Wine honours them
        # across processes.
        self.s.move_window(game.hwnd, 50, 50)
        harness.wait_until(lambda: self.s.window(game.hwnd)["rect"][:2] == [30000, 30000], 5,
                           "the game parked again")

        began = self.hang(game.log)
        self.toggle_counter(True)
        self.toggle_counter(False)
        to_full, to_window = self.switch("full"), self.switch("window")
        print("\nF6 during a hang: %.2f s to full screen, %.2f s back to the window"
              % (to_full, to_window), file=sys.stderr)
        self.assertFalse(self.picture_moves(), "the game printed while it did not answer")
        self.assertLess(time.monotonic() - began, HANG_SECONDS - 1, "the checks came too late")
        harness.wait_until(lambda: "hang over" in game.log(), HANG_SECONDS + 5, "the hang's end")
        harness.wait_until(self.picture_moves, 5, "the picture moving again")

        began = self.hang(game.log)
        self.s.close_window(self.s.wait_viewer()["hwnd"])
        self.toggle_counter(True)
        self.assertIsNone(game.proc.poll(), "the game ended while hung")
        self.assertEqual(self.s.wait_exit(game.proc, HANG_SECONDS + 10), 0)
        self.assertGreater(time.monotonic() - began, HANG_SECONDS - 1)
        self.assertIn("WM_CLOSE", game.log())
        self.assertEqual(self.s.wait_exit(viewer, 15), 0)

    def run_host_through_a_hang(self, hang_in_print, pacing="fixed"):
        self.use_pacing(pacing)
        self.hang_seconds = 5
        log_path = self.programs.path("host-game.log")

        def log():
            return harness.read_lines(log_path)
        host = self.start_viewer(self.programs.copy("tests/lmp_live_host.exe"), env={
            "LMP_DEMO_HANG_SECONDS": str(self.hang_seconds),
            "LMP_DEMO_HANG_IN_PRINT": "1" if hang_in_print else "0",
            "LMP_DEMO_LOG": harness.windows_path(log_path)}, wait=False)
        self.start_windowed()
        self.hang(log)
        self.toggle_counter(True)
        self.toggle_counter(False)
        self.assertNotIn("hang over", log(), "the checks came too late")
        harness.wait_until(lambda: "hang over" in log(), self.hang_seconds + 5, "the hang's end")
        harness.wait_until(self.picture_moves, 5, "the picture moving again")
        self.s.close_window(self.s.wait_viewer()["hwnd"])
        self.assertEqual(self.s.wait_exit(host, 15), 0, "the host's exit code")

    def test_the_same_process_host_does_not_print_a_hung_game(self):
        self.run_host_through_a_hang(hang_in_print=False)

    def test_the_same_process_host_goes_on_past_a_print_stuck_in_the_game(self):
        # The game answers the viewer's probe and stops inside the print that follows it.
        self.run_host_through_a_hang(hang_in_print=True)

    def test_the_same_process_host_goes_on_past_a_stuck_print_with_the_smooth_pacing(self):
        self.run_host_through_a_hang(hang_in_print=True, pacing="smooth")

if __name__ == "__main__":
    unittest.main()

"""Hot keys pressed while another program is in front do nothing, then or later: the real
viewer on a separate stand-in game, with a message box of another process in front. Run
through run.py."""

import time
import unittest

import base
import harness
from harness import VK_F6, VK_F8


class StaleKeysTest(base.E2ETest):
    def full_screen(self):
        w = self.s.find_viewer()
        return bool(w) and self.s.viewer_full_screen(w)

    def test_f6_and_f8_pressed_for_another_program_never_act(self):
        game = self.start_game()
        viewer = self.start_viewer()
        self.s.wait_viewer_mode(True, timeout=20)

        caption = "Another Program %d" % time.monotonic_ns()
        self.run_program(self.s.exe("tests/lmp_probe.exe"),
                         ["msgbox-show", caption, "In front of the game."])
        box = harness.wait_until(
            lambda: next((b for b in self.s.message_boxes() if b["caption"] == caption), None),
            10, "the other program's window")
        self.assertEqual(self.s.set_foreground(box["hwnd"]), box["hwnd"])
        self.s.press_key(VK_F6)
        self.s.press_key(VK_F8)
        # Watched for a second, many of the viewer's frame steps: none may act on the keys.
        self.assertTrue(harness.holds_for(self.full_screen, 1.0), "F6 acted for another program")
        self.assertTrue(self.full_screen(), "F6 acted for another program")

        self.s.set_foreground(game.hwnd)
        # Many passes with the game in front.
        self.assertTrue(harness.holds_for(self.full_screen, 1.5),
                        "a stale F6 acted once the game was back")
        self.assertTrue(self.full_screen(), "a stale F6 acted once the game was back")
        self.assertNotIn("key F5", game.log(), "a stale F8 changed the filter")

        self.s.press_key(VK_F6)
        self.s.wait_viewer_mode(False)
        self.assertTrue(harness.holds_for(lambda: self.s.viewer_windowed(self.s.wait_viewer()),
                                          1.0), "one press switched more than once")
        self.assertTrue(self.s.viewer_windowed(self.s.wait_viewer()),
                        "one press switched more than once")

        self.s.press_ok(box["hwnd"])
        self.close_viewer(game, viewer)


if __name__ == "__main__":
    unittest.main()

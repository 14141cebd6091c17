"""Hot keys pressed while another program is in front do nothing, then or later: the real
viewer on a separate stand-in game, with a message box of another process in front. Run
through run.py."""

import time
import unittest

import harness
from harness import VK_F6, VK_F8


class StaleKeysTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.s = harness.shared_session()
        cls.viewer_exe = cls.s.private_copy("src/lumenpane.exe", "stale-keys")

    def setUp(self):
        self.started = []
        self.addCleanup(lambda: harness.kill_running(self.started))

    def full_screen(self):
        w = self.s.find_viewer()
        return bool(w) and self.s.viewer_full_screen(w)

    def test_f6_and_f8_pressed_for_another_program_never_act(self):
        game = self.s.start_game()
        self.started.append(game.proc)
        viewer = self.s.run(self.viewer_exe)
        self.started.append(viewer)
        self.s.wait_viewer_mode(True, timeout=20)

        caption = "Another Program %d" % time.monotonic_ns()
        box_proc = self.s.run(self.s.exe("tests/lmp_probe.exe"),
                              ["msgbox-show", caption, "In front of the game."])
        self.started.append(box_proc)
        box = harness.wait_until(
            lambda: next((b for b in self.s.message_boxes() if b["caption"] == caption), None),
            10, "the other program's window")
        self.assertEqual(self.s.set_foreground(box["hwnd"]), box["hwnd"])
        self.s.press_key(VK_F6)
        self.s.press_key(VK_F8)
        time.sleep(1.0)
        self.assertTrue(self.full_screen(), "F6 acted for another program")

        self.s.set_foreground(game.hwnd)
        time.sleep(1.5)  # many passes with the game in front
        self.assertTrue(self.full_screen(), "a stale F6 acted once the game was back")
        self.assertNotIn("key F5", game.log(), "a stale F8 changed the filter")

        self.s.press_key(VK_F6)
        self.s.wait_viewer_mode(False)
        time.sleep(1.0)
        self.assertTrue(self.s.viewer_windowed(self.s.wait_viewer()),
                        "one press switched more than once")

        self.s.press_ok(box["hwnd"])
        self.s.close_window(self.s.wait_viewer()["hwnd"])
        self.assertEqual(self.s.wait_exit(game.proc, 15), 0)
        self.assertEqual(self.s.wait_exit(viewer, 15), 0)


if __name__ == "__main__":
    unittest.main()

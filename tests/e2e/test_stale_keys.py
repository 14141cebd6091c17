"""Hot keys pressed while another program is in front do nothing, then or later: the real
viewer on a separate stand-in game, with a message box of another process in front. Run
through run.py."""

import time
import unittest

import harness
from harness import GAME_TITLE, VK_F6, VK_F8

VIEWER_CLASS = "fbgfxclass_" + GAME_TITLE
FULLSCREEN_EXSTYLE = 0x96000008


class StaleKeysTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.s = harness.shared_session()
        cls.viewer_exe = cls.s.private_copy("src/lumenpane.exe", "stale-keys")

    def setUp(self):
        self.started = []
        self.addCleanup(lambda: harness.kill_running(self.started))

    def fullscreen(self):
        """True or False once the viewer window is shown in either mode, else None."""
        w = self.s.find_window(VIEWER_CLASS, GAME_TITLE)
        if not w or not w["visible"]:
            return None
        if w["exstyle"] == FULLSCREEN_EXSTYLE and w["topmost"]:
            return True
        return False if w["client"] == [640, 480] and not w["topmost"] else None

    def test_f6_and_f8_pressed_for_another_program_never_act(self):
        game = self.s.start_game()
        self.started.append(game.proc)
        viewer = self.s.run(self.viewer_exe)
        self.started.append(viewer)
        harness.wait_until(lambda: self.fullscreen() is True, 20, "the viewer full screen")

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
        self.assertIs(self.fullscreen(), True, "F6 acted for another program")

        self.s.set_foreground(game.hwnd)
        time.sleep(1.5)  # many passes with the game in front
        self.assertIs(self.fullscreen(), True, "a stale F6 acted once the game was back")
        self.assertNotIn("key F5", game.log(), "a stale F8 changed the filter")

        self.s.press_key(VK_F6)
        harness.wait_until(lambda: self.fullscreen() is False, 10, "the window after F6")
        time.sleep(1.0)
        self.assertIs(self.fullscreen(), False, "one press switched more than once")

        self.s.press_ok(box["hwnd"])
        self.s.close_window(self.s.find_window(VIEWER_CLASS, GAME_TITLE)["hwnd"])
        self.assertEqual(self.s.wait_exit(game.proc, 15), 0)
        self.assertEqual(self.s.wait_exit(viewer, 15), 0)


if __name__ == "__main__":
    unittest.main()

"""The viewer's start-up, supervision of the game and shutdown, seen from outside: the usage
message without a game, the viewer window's identity, the parked game window, the process
priorities, minimising, the close button and the ways the game can end. Run through run.py."""

import unittest

import base
import harness
from harness import GAME_TITLE, VIEWER_CLASS_PREFIX

USAGE_LINES = [
    "Lumenpane v1.10 Alpha",
    "",
    "Created by Orvalle",
    None,  # the web address, checked only for being one
    "Start RPG Maker game first, then start Lumenpane.",
    "",
    "F6: Toggle Fullscreen/Window",
    "F7: Show/Hide FPS",
    "F8: Set filter (Off -> Scale2x -> hq2x)",
]

WS_VISIBLE = 0x10000000
WS_CAPTION = 0x00C00000
WS_THICKFRAME = 0x00040000
WS_MAXIMIZEBOX = 0x00010000
WS_MINIMIZEBOX = 0x00020000
WS_SYSMENU = 0x00080000
SS_ICON, SS_TYPEMASK = 0x3, 0x1F
IDLE, NORMAL, HIGH, BELOW_NORMAL = 0x40, 0x20, 0x80, 0x4000


class ViewerSpineTest(base.E2ETest):
    def start_viewer_and_window(self, title=GAME_TITLE):
        proc = self.start_viewer(wait=False)
        window = self.s.wait_viewer(title, timeout=15)
        return proc, window

    def current_viewer(self, title=GAME_TITLE):
        """The viewer window as it is now: the viewer may reopen its surface, which gives
        the window a new handle, so tests that act on it look it up again."""
        return self.s.wait_viewer(title, timeout=5)

    def wait_state(self, hwnd, predicate, what, timeout=5):
        """Polls the window until predicate(window) holds; returns that window state."""
        def check():
            window = self.s.window(hwnd) or {}
            return window if predicate(window) else None
        return harness.wait_until(check, timeout, what)

    def wait_priority(self, pid, priority, what, timeout=5):
        harness.wait_until(lambda: self.s.process_info(pid)["priorityClass"] == priority,
                           timeout, what)

    def wait_parked(self, game):
        return self.wait_state(game.hwnd, lambda w: w.get("rect", [0])[0] == 30000,
                               "the game window at (30000, 30000)")


class WithoutGame(ViewerSpineTest):
    def assert_information_icon(self, box):
        """The box shows an icon, and it is the blue information sign: most of its coloured
        pixels are blue, where the warning sign is yellow and the error sign red."""
        icons = [c for c in self.s.children(box) if c["class"] == "Static"
                 and c["style"] & SS_TYPEMASK == SS_ICON]
        self.assertEqual(len(icons), 1, "one icon in the message box")
        left, top, right, bottom = icons[0]["rect"]
        image = self.s.grab(left, top, right - left, bottom - top)
        blue = reddish = 0
        for p in image.pixels:
            r, g, b = p >> 16 & 255, p >> 8 & 255, p & 255
            if b > r + 40 and b >= g:
                blue += 1
            elif r > b + 40:
                reddish += 1
        self.assertGreater(blue, 50, "blue pixels of the information sign")
        self.assertGreater(blue, 4 * reddish, "red or yellow pixels of another sign")

    def test_usage_message_then_exit_code_1_and_no_viewer_window(self):
        proc = self.start_viewer(wait=False)
        boxes = harness.wait_until(
            lambda: [b for b in self.s.message_boxes() if b["caption"] == "Lumenpane"], 15,
            "the usage message")
        self.assertEqual(len(boxes), 1)
        box = boxes[0]
        lines = box["text"].split("\r\n")
        self.assertEqual(len(lines), len(USAGE_LINES), box["text"])
        for line, expected in zip(lines, USAGE_LINES):
            if expected is None:
                self.assertTrue(line.startswith("http"), line)
            else:
                self.assertEqual(line, expected)
        self.assert_information_icon(box["hwnd"])
        self.assertFalse(any(w["class"].startswith(VIEWER_CLASS_PREFIX) for w in self.s.windows()))
        self.assertIsNone(proc.poll(), "the viewer waits for OK")

        self.s.press_ok(box["hwnd"])
        self.assertEqual(self.s.wait_exit(proc, 10), 1)
        self.assertFalse(any(w["class"].startswith(VIEWER_CLASS_PREFIX) for w in self.s.windows()))


class WithGame(ViewerSpineTest):
    def test_viewer_window_identity_and_the_parked_game(self):
        game = self.start_game()
        self.assertGreaterEqual(game.window["rect"][0], 10)
        proc, viewer = self.start_viewer_and_window()
        self.assertEqual(viewer["class"], harness.viewer_class(GAME_TITLE))
        self.assertEqual(viewer["caption"], GAME_TITLE)
        if viewer["style"] & WS_CAPTION:
            self.assertEqual(viewer["client"], [640, 480])
            self.assertEqual(viewer["style"] & (WS_MAXIMIZEBOX | WS_THICKFRAME), 0)
            self.assertEqual(viewer["style"] & (WS_SYSMENU | WS_MINIMIZEBOX),
                             WS_SYSMENU | WS_MINIMIZEBOX)
        else:  # already switched to full screen
            self.assertEqual(viewer["client"], list(self.s.screen_size))

        parked = self.wait_parked(game)
        self.assertEqual(parked["rect"][1], 30000)
        width = game.window["rect"][2] - game.window["rect"][0]
        height = game.window["rect"][3] - game.window["rect"][1]
        self.assertEqual(parked["rect"][2] - parked["rect"][0], width)
        self.assertEqual(parked["rect"][3] - parked["rect"][1], height)
        self.assertEqual(parked["style"] & (WS_CAPTION | WS_THICKFRAME), 0)
        self.assertTrue(parked["style"] & WS_VISIBLE)
        self.assertEqual(parked["exstyle"], 0)
        self.assertTrue(parked["visible"])
        self.assertIsNone(game.proc.poll(), "the game keeps running")

        self.wait_priority(game.window["pid"], HIGH, "the game at high priority")
        self.wait_priority(viewer["pid"], BELOW_NORMAL, "the viewer below normal")

    def test_minimising_hides_the_game_and_idles_both_until_restored(self):
        game = self.start_game()
        proc, viewer = self.start_viewer_and_window()
        self.wait_parked(game)
        viewer = self.current_viewer()
        self.s.minimize(viewer["hwnd"])
        self.wait_state(game.hwnd, lambda w: w.get("visible") is False, "the game hidden")
        self.wait_priority(game.window["pid"], IDLE, "the game idle")
        self.wait_priority(viewer["pid"], IDLE, "the viewer idle")
        self.assertIsNone(proc.poll())

        self.s.restore(self.current_viewer()["hwnd"])
        self.wait_state(game.hwnd, lambda w: w.get("visible") is True, "the game shown again")
        self.wait_priority(game.window["pid"], HIGH, "the game back at high priority")
        self.wait_priority(viewer["pid"], BELOW_NORMAL, "the viewer back below normal")

    def test_close_button_closes_the_game_then_the_viewer_ends_with_0(self):
        game = self.start_game()
        proc, viewer = self.start_viewer_and_window()
        self.wait_parked(game)
        self.close_viewer(game, proc, timeout=10)
        self.assertEqual(game.log().count("WM_CLOSE"), 1)

    def test_game_closed_directly_ends_the_viewer_with_0_quickly(self):
        game = self.start_game()
        proc, viewer = self.start_viewer_and_window()
        self.wait_parked(game)
        self.close_game(game, proc, timeout=10, viewer_timeout=3)
        self.assertIsNone(self.s.find_viewer())

    def test_terminated_game_ends_the_viewer_with_0(self):
        game = self.start_game()
        proc, viewer = self.start_viewer_and_window()
        self.wait_parked(game)
        # taskkill /F ends the process with TerminateProcess.
        rc, out = self.s.run_to_end("taskkill", ["/F", "/PID", game.window["pid"]], timeout=30)
        self.assertEqual(rc, 0, out)
        game.proc.wait(timeout=10)
        self.assertEqual(self.s.wait_exit(proc, 5), 0)


if __name__ == "__main__":
    unittest.main()

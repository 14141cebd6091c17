"""A viewer that ends without its ordinary stop (killed from outside) gives the game back
through its guard: the game window at its place, framed, visible and at its former
priority. An ordinary close leaves no guard behind. Run through run.py."""

import os
import subprocess
import time
import unittest

import base
import harness

GUARD_ARGUMENT = "--lumenpane-guard"
WS_CAPTION = 0x00C00000
IDLE, NORMAL, HIGH = 0x40, 0x20, 0x80


def linux_processes_with(*words):
    """Linux PIDs whose command line holds every word (Wine shows the Windows command line)."""
    found = []
    for entry in os.listdir("/proc"):
        if not entry.isdigit():
            continue
        try:
            with open("/proc/%s/cmdline" % entry, "rb") as f:
                line = f.read().replace(b"\0", b" ").decode("latin-1")
        except OSError:
            continue
        if all(word in line for word in words):
            found.append(int(entry))
    return found


class KilledViewerTest(base.E2ETest):
    def guards(self):
        # The test's viewer copy lies in a folder of its own, so its guard can be told from
        # any other.
        return linux_processes_with(GUARD_ARGUMENT, self.programs.name)

    def start(self):
        game = self.start_game()
        before = game.window
        self.assertEqual(self.s.process_info(before["pid"])["priorityClass"], NORMAL)
        viewer = self.start_viewer(wait=False)
        window = self.s.wait_viewer(timeout=15)
        harness.wait_until(lambda: (self.s.window(game.hwnd) or {}).get("rect", [0])[0] == 30000,
                           10, "the game parked")
        harness.wait_until(lambda: self.s.process_info(before["pid"])["priorityClass"] == HIGH,
                           5, "the game at high priority")
        self.assertTrue(self.guards(), "a guard runs beside the viewer")
        return game, before, viewer, window

    def given_back(self, game, before, seen):
        """seen: when the last look that found the game not back began, what it saw, and
        when the game was seen back, for a failure's message."""
        began = time.monotonic()
        w = self.s.window(game.hwnd)
        placed = (w and w["rect"] == before["rect"] and w["style"] == before["style"]
                  and w["exstyle"] == before["exstyle"] and w["visible"])
        priority = self.s.process_info(before["pid"])["priorityClass"] if placed else None
        back = bool(placed and priority == NORMAL)
        seen.update({"back": began} if back else
                    {"began": began, "window": w, "priority": priority})
        return back

    def kill_and_time_the_return(self, game, before, kill):
        kill()
        killed = time.monotonic()  # the viewer's process has ended
        seen = {}
        try:
            harness.within(killed, 2.0, lambda: self.given_back(game, before, seen),
                           "the game back at its place, framed, shown, at normal priority",
                           timeout=5, interval=0.02)
        except harness.HarnessError as e:
            back = "%.2f s" % (seen["back"] - killed) if "back" in seen else "never"
            raise harness.HarnessError(
                "%s; back after %s; the last look before, at %.2f s: %r, priority %r"
                % (e, back, seen.get("began", killed) - killed, seen.get("window"),
                   seen.get("priority")))
        print("\n  game back, seen %.2f s after the kill" % (time.monotonic() - killed),
              flush=True)
        self.assertTrue(self.s.window(game.hwnd)["style"] & WS_CAPTION)
        harness.wait_until(lambda: not self.guards(), 5, "the guard ended")
        self.assertIsNone(game.proc.poll(), "the game keeps running")
        self.close_game(game, timeout=10)

    def test_killed_in_full_screen_gives_the_game_back(self):
        game, before, viewer, window = self.start()
        self.s.wait_viewer_mode(full_screen=True)

        def kill():
            viewer.kill()  # SIGKILL of the viewer's Wine process
            viewer.wait()
        self.kill_and_time_the_return(game, before, kill)

    def test_killed_while_minimised_gives_the_game_back(self):
        game, before, viewer, window = self.start()
        self.s.minimize(self.s.wait_viewer()["hwnd"])
        harness.wait_until(lambda: self.s.process_info(before["pid"])["priorityClass"] == IDLE,
                           5, "the game idle")
        harness.wait_until(lambda: self.s.window(game.hwnd)["visible"] is False, 5,
                           "the game hidden")
        # TerminateProcess, as a task manager ends a program.
        self.kill_and_time_the_return(game, before, lambda: subprocess.run(
            [self.s.wine, "taskkill", "/F", "/PID", str(window["pid"])], env=self.s.env,
            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, timeout=30))

    def test_crashed_viewer_ends_at_once_and_gives_the_game_back(self):
        game, before, viewer, window = self.start()
        self.s.probe("crash", window["pid"])
        self.assertNotEqual(self.s.wait_exit(viewer, 2), 0, "no error box holds the viewer")
        self.kill_and_time_the_return(game, before, lambda: None)

    def test_ordinary_close_leaves_no_guard(self):
        game, before, viewer, window = self.start()
        self.close_viewer(game, viewer, timeout=10)
        harness.wait_until(lambda: not self.guards(), 2, "the guard ended with the viewer")


if __name__ == "__main__":
    unittest.main()

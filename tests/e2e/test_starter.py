"""The game starter under Wine: the stand-in game is copied beside lmp_game_starter.exe as
rpg_rt.exe, and the test-only viewer stand-in (when a test needs a viewer) as lumenpane.exe.
Run through run.py."""

import os
import subprocess
import unittest

import base
import harness
import test_killed_viewer
import viewer_watch
from harness import GAME_CLASS, VK_F6, VK_F8

MESSAGE_TITLE = "Orvalle's LMP Game Starter"


class StarterTest(base.E2ETest):
    """The starter, the game and the viewer as copies in the test's own folder; the game
    and the viewer the starter starts are closed by the base's clean-up."""

    folder_name = None  # the programs' folder's name: the test's unless given

    def setUp(self):
        super().setUp()
        if self.folder_name:
            self.programs = base.Programs(self.s, self.folder_name)
            self.addCleanup(self.programs.end)
        self.folder = self.programs.folder
        self.starter = self.programs.copy("src/lmp_game_starter.exe")
        self.game_log = self.programs.path("game.log")
        self.standin_log = self.programs.path("viewer_standin.log")

    def with_game(self):
        self.programs.copy("demo/rpg_rt.exe")

    def with_viewer(self):
        self.programs.copy("tests/viewer_standin.exe", "lumenpane.exe")

    def config(self, text):
        with open(self.programs.path("lmp_game_starter.cfg"), "w") as f:
            f.write(text)

    def run_starter(self, args=(), title=None):
        """Starts the starter; the game it starts inherits the environment with its log."""
        env = {"LMP_DEMO_LOG": harness.windows_path(self.game_log)}
        if title is not None:
            env["LMP_DEMO_TITLE"] = title
        return self.run_program(self.starter, args, env)

    def game_command_line(self):
        line = harness.wait_until(
            lambda: next((l for l in harness.read_lines(self.game_log) if "cmdline " in l), None),
            15, "the game's command line in its log")
        return line[line.index("cmdline ") + len("cmdline "):]

    def expect_message(self, proc, text):
        """Waits for the starter's one message box, checks it and presses OK."""
        boxes = harness.wait_until(
            lambda: [b for b in self.s.message_boxes() if b["caption"] == MESSAGE_TITLE],
            15, "the starter's message box")
        self.assertEqual(len(boxes), 1)
        self.assertEqual(boxes[0]["text"], text)
        self.assertIsNone(proc.poll(), "the starter waits for the message to be answered")
        self.s.press_ok(boxes[0]["hwnd"])

    def viewer_events(self):
        return [l.split()[1] for l in harness.read_lines(self.standin_log)]


class StartsGameAndViewer(StarterTest):
    def test_no_arguments_start_the_game_windowed_with_the_default_arguments(self):
        self.with_game()
        self.with_viewer()
        proc = self.run_starter()
        self.assertEqual(self.s.wait_exit(proc, 30), 0)
        game_path = harness.windows_path(os.path.join(self.folder, "rpg_rt.exe"))
        self.assertEqual(self.game_command_line(), '"%s" NormalPlay ShowTitle Window' % game_path)
        self.assertEqual(self.viewer_events(), ["window"])  # no configuration: no F8

    def test_four_arguments_pass_the_first_two_window_and_the_fourth(self):
        self.with_game()
        self.with_viewer()
        proc = self.run_starter(["TestPlay", "HideTitle", "FullScreen", "Extra"])
        self.assertEqual(self.s.wait_exit(proc, 30), 0)
        self.assertTrue(self.game_command_line().endswith('" TestPlay HideTitle Window Extra'))

    def test_configured_presses_reach_the_viewer(self):
        self.with_game()
        self.with_viewer()
        self.config("2\r\n")
        proc = self.run_starter()
        self.assertEqual(self.s.wait_exit(proc, 30), 0)
        self.assertEqual(self.viewer_events(), ["window", "F8down", "F8up", "F8down", "F8up"])

    def test_viewer_is_found_under_a_game_title_longer_than_ninety_nine_characters(self):
        self.with_game()
        self.with_viewer()
        self.config("1")
        title = "".join(chr(ord("a") + i % 26) for i in range(120))
        proc = self.run_starter(title=title)
        self.assertEqual(self.s.wait_exit(proc, 30), 0)
        viewer = self.s.find_window(harness.viewer_class(title[:99]))
        self.assertEqual(viewer["caption"], title[:99])
        self.assertEqual(self.viewer_events(), ["window", "F8down", "F8up"])

    def test_a_huge_count_selects_scale2x_with_one_f5_and_the_starter_ends_soon(self):
        """The real viewer: it shows the filter and presses F5 for the game on the change."""
        self.with_game()
        self.programs.copy("src/lumenpane.exe")
        self.config("1000000")
        proc = self.run_starter()
        self.s.wait_viewer(timeout=30)
        # From the viewer's window: 500 ms, then one press of 200 ms.
        self.assertEqual(self.s.wait_exit(proc, 5), 0)
        self.assertIsNotNone(self.s.find_window(GAME_CLASS), "the game still runs")

        def game_f5s():
            return [l for l in harness.read_lines(self.game_log) if "key F5" in l]
        harness.wait_until(game_f5s, 5, "F5 for the game")
        self.assertTrue(harness.holds_for(lambda: len(game_f5s()) == 1, 1.0), "a second F5")
        self.assertEqual(len(game_f5s()), 1)

        # Scale2x is selected: back in the window, the next F8 selects hq2x.
        self.s.tap(VK_F6)
        window = self.s.wait_viewer_mode(False)
        self.s.tap(VK_F8)
        expected = "Filter: hq2x"
        harness.wait_until(
            lambda: viewer_watch.grab_text(self.s, window, len(expected)) == expected, 2.5,
            "the overlay %r" % expected, interval=0.2)
        self.assertEqual(len(game_f5s()), 1)

    def test_a_count_of_three_over_four_listed_filters_shows_mmpx(self):
        """lumenpane.ini lists four filters: the count 3 selects MMPX, and the viewer shows
        what lumenpane-scale --filter mmpx makes of the game's frozen frame."""
        from test_live_picture import read_png
        self.with_game()
        self.programs.copy("src/lumenpane.exe")
        with open(self.programs.path("lumenpane.ini"), "w", newline="\r\n") as ini:
            ini.write("[display]\nfilters=off, scale2x, hq2x, mmpx\n")
        self.config("3")
        dump, single, out = (self.s.file(n) for n in ("mmpx.raw", "mmpx-in.png", "mmpx.png"))
        proc = self.run_program(self.starter, (), {
            "LMP_DEMO_LOG": harness.windows_path(self.game_log), "LMP_DEMO_FREEZE": "1",
            "LMP_DEMO_DUMP": harness.windows_path(dump)})
        self.assertEqual(self.s.wait_exit(proc, 30), 0)  # dumped before the game window opened
        harness.write_png(single, harness.read_raw(dump, 320, 240))
        rc, text = self.s.run_to_end(self.s.exe("tools/lumenpane-scale.exe"), [
            "--filter", "mmpx", harness.windows_path(single), harness.windows_path(out)])
        self.assertEqual(rc, 0, text)
        expected, last = read_png(out), ["nothing grabbed"]
        self.s.tap(VK_F6)
        self.s.wait_viewer_mode(False)

        def shows():
            last[0] = harness.compare_images(self.s.grab_viewer_frame(self.s.wait_viewer()),
                                             expected)
            return last[0] is None
        self.assertTrue(harness.poll(shows, 20, interval=0.3), last[0])


class JapaneseFolder(StarterTest):
    folder_name = "ゲーム フォルダ"  # which the Western code page cannot spell

    def test_game_viewer_settings_and_guard_work_in_a_folder_named_in_japanese(self):
        acp = self.s.probe("codepage")[0]["acp"]
        print("\n  ANSI code page %d" % acp, flush=True)
        self.assertRaises(UnicodeEncodeError, self.folder_name.encode, "cp%d" % acp)
        number = self.programs.name.rsplit("-", 1)[1]  # the folder's, ASCII
        self.game_log = self.s.file("game-%s.log" % number)
        self.with_game()
        self.programs.copy("src/lumenpane.exe")
        self.config("1")
        with open(self.programs.path("lumenpane.ini"), "w", newline="\r\n") as ini:
            ini.write("[display]\nfit=integer\n")
        self.assertEqual(self.s.wait_exit(self.run_starter(), 30), 0)
        self.assertTrue(self.game_command_line().endswith('" NormalPlay ShowTitle Window'))
        game, viewer = self.s.find_window(GAME_CLASS), self.s.wait_viewer_mode(True)
        harness.wait_until(lambda: [l for l in harness.read_lines(self.game_log) if "key F5" in l],
                           5, "the game's F5 for Scale2x, the configured filter")

        def integer_fit():  # the 640x480 frame one to one in the middle, black around it
            screen = self.s.grab(0, 0, 1024, 768)
            return (screen.crop(192, 144, 640, 480).colours() > 8 and all(
                screen.crop(*r).colours() == 1 and screen.at(*r[:2]) == 0 for r in (
                    (0, 0, 1024, 144), (0, 624, 1024, 144), (0, 144, 192, 480), (832, 144, 192, 480))))
        harness.wait_until(integer_fit, 10, "fit=integer on the screen")

        guards = lambda: test_killed_viewer.linux_processes_with("--lumenpane-guard", number)
        self.assertTrue(guards(), "a guard runs beside the viewer")
        subprocess.run([self.s.wine, "taskkill", "/F", "/PID", str(viewer["pid"])],
                       env=self.s.env, capture_output=True, timeout=30)

        def given_back():  # at the stand-in game's own place, framed, shown, normal priority
            w = self.s.window(game["hwnd"])
            return (w and w["rect"][:2] == [40, 40] and w["style"] & test_killed_viewer.WS_CAPTION
                    and w["visible"] and self.s.process_info(w["pid"])["priorityClass"] == 0x20)
        harness.wait_until(given_back, 5, "the game given back")
        harness.wait_until(lambda: not guards(), 5, "the guard ended")


class Failures(StarterTest):
    def test_running_game_gives_the_warning_and_starts_nothing(self):
        self.with_game()
        self.with_viewer()
        other = self.start_game()
        proc = self.run_starter()
        self.expect_message(proc, "Please close all other RM2k(3) games first.")
        self.assertEqual(self.s.wait_exit(proc, 10), 2)
        self.assertEqual([w["hwnd"] for w in self.s.windows() if w["class"] == GAME_CLASS],
                         [other.hwnd])
        self.assertEqual(harness.read_lines(self.game_log), [])
        self.assertEqual(self.viewer_events(), [])

    def test_missing_game_gives_the_start_failure(self):
        proc = self.run_starter()
        self.expect_message(proc, "Starting the game failed!")
        self.assertEqual(self.s.wait_exit(proc, 10), 1)

    def test_missing_viewer_gives_the_failure_and_leaves_the_game_running(self):
        self.with_game()
        proc = self.run_starter()
        self.expect_message(proc, "Starting LMP failed!")
        self.assertEqual(self.s.wait_exit(proc, 10), 3)
        game = self.s.find_window(GAME_CLASS)
        self.assertIsNotNone(game)
        self.assertTrue(game["visible"])


if __name__ == "__main__":
    unittest.main()

"""The folder the viewer keeps its capture helper in under Wine: made for the current user
only (Unix mode 0700), an existing one of the user's narrowed to that, and one that others
may write to or that belongs to someone else refused (the helper is then not loaded). Run
through run.py."""

import os
import shutil
import stat
import unittest

import base
import harness


class HelperFolderTest(base.E2ETest):
    def setUp(self):
        super().setUp()
        rc, temp = self.s.run_to_end("cmd", ["/c", "echo", "%TEMP%"])
        self.assertEqual(rc, 0)
        rc, temp = self.s.run_to_end("winepath", ["-u", temp.strip()])
        self.assertEqual(rc, 0)
        self.folder = os.path.join(temp.strip(), "lumenpane")
        # Whatever a test leaves, the folder goes back to what the viewer makes of it.
        self.addCleanup(lambda: os.path.isdir(self.folder) and (
            os.chown(self.folder, os.getuid(), os.getgid()), os.chmod(self.folder, 0o700)))

    def threads(self, game):
        return self.s.process_info(game.window["pid"])["threads"]

    def mode(self):
        return stat.S_IMODE(os.stat(self.folder).st_mode)

    def log(self):
        return "\n".join(self.viewer_log())

    def run_viewer(self, game, threads_before, helper_expected):
        """Starts the viewer on the game, sees whether the helper thread came into the game,
        then kills the viewer (its guard gives the game back) and waits for the helper to go."""
        viewer = self.start_viewer()
        if helper_expected:
            harness.wait_until(lambda: self.threads(game) == threads_before + 1, 10,
                               "the helper thread in the game")
        else:
            harness.wait_until(lambda: "helper folder" in self.log(), 10, "the refusal logged")
            self.assertEqual(self.threads(game), threads_before, "no helper in the game")
        viewer.kill()
        viewer.wait()
        harness.wait_until(lambda: self.threads(game) == threads_before, 10, "the helper gone")

    def test_folder_is_the_users_alone_or_refused(self):
        shutil.rmtree(self.folder, ignore_errors=True)
        game = self.start_game(frozen=True)
        before = self.threads(game)

        self.run_viewer(game, before, helper_expected=True)
        self.assertEqual(self.mode(), 0o700, "made for the user alone")
        self.assertEqual(self.log(), "")

        os.chmod(self.folder, 0o755)  # e.g. made by an earlier version: others only read
        self.run_viewer(game, before, helper_expected=True)
        self.assertEqual(self.mode(), 0o700, "narrowed to the user")

        os.chmod(self.folder, 0o757)  # others may write
        self.run_viewer(game, before, helper_expected=False)
        self.assertEqual(self.mode(), 0o757, "a refused folder is left as it is")

        if os.getuid() == 0:  # only root can give the folder to someone else
            os.chmod(self.folder, 0o700)
            os.chown(self.folder, 65534, 65534)
            os.remove(os.path.join(os.path.dirname(self.viewer_exe), "lumenpane.log"))
            self.run_viewer(game, before, helper_expected=False)

        self.close_game(game, timeout=10)


if __name__ == "__main__":
    unittest.main()

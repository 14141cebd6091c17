"""The viewer's capture through the in-game helper, checked from inside by
tests/remote_capture_e2e.exe (its own stand-in games and viewers; see the top of
remote_capture_e2e.cpp for the checks). Run through run.py."""

import unittest

import base


class RemoteCaptureChecks(base.E2ETest):
    def test_every_check_of_the_capture_program_passes(self):
        # It writes its frame dumps into its working folder and reads lumenpane.log beside
        # itself: both in the test's folder.
        exe = self.programs.copy("tests/remote_capture_e2e.exe")
        code, out = self.s.run_to_end(exe, timeout=600, cwd=self.programs.folder)
        lines = out.splitlines()
        failed = [line for line in lines if line.startswith("FAIL: ")]
        passed = [line for line in lines if line.startswith("PASS: ")]
        self.assertEqual(failed, [], out)
        self.assertTrue(passed, out)
        self.assertIn("ALL PASSED (0 failed)", lines, out)
        self.assertEqual(code, 0, out)


if __name__ == "__main__":
    unittest.main()

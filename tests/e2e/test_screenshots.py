"""F9 on the real viewer over a separate frozen stand-in game under Wine: in each filter both
pictures beside the viewer, the game's equal to the game's own frame and the frame equal to
what lumenpane-scale makes of it; nowhere to write, then only Pictures, then only AppData. Prints the seconds
from a press to both files (tools/measure_pacing.py --press f9 measures the passes meanwhile)."""

import glob
import os
import shutil
import subprocess
import sys
import time
import unittest

import base
import frame_clock
import harness

VK_F9 = 0x78
NOT_A_FOLDER = "a file, not a folder\n"


def read_png(path):
    ppm = subprocess.run(["convert", path, "-depth", "8", "ppm:-"], check=True,
                         stdout=subprocess.PIPE).stdout
    _, size, _, raw = ppm.split(b"\n", 3)
    width, height = map(int, size.split())
    return harness.Image(width, height, [int.from_bytes(raw[i:i + 3], "big")
                                         for i in range(0, 3 * width * height, 3)])


@unittest.skipUnless(shutil.which("convert"), "ImageMagick reads the PNG files")
class ScreenshotTest(base.E2ETest):
    def press(self, folder, text=None, notice="Saved "):
        """F9; waits for both files in `folder` (unless `text`) and the overlay's notice.
        Returns (name, seconds from the press to both files)."""
        before = set(os.listdir(folder)) if os.path.isdir(folder) else set()
        self.s.set_foreground(self.game.hwnd)
        pressed = time.monotonic()
        self.s.press_key(VK_F9)

        def saved():
            names = set(os.listdir(folder)) - before if os.path.isdir(folder) else set()
            pair = [n[:-4] for n in names if n[:-4] + "-game.png" in names]
            return pair and not [n for n in names if n.endswith(".tmp")] and pair[0]
        name = None if text else harness.wait_until(saved, 10, "both files in " + folder)
        seconds = time.monotonic() - pressed
        text = text or notice + name
        harness.wait_until(lambda: frame_clock.full_screen_text(self.s, len(text)) == text, 3,
                           "the overlay's " + text, interval=0.1)
        return name, seconds

    def test_f9_saves_both_pictures_in_each_filter_beside_the_viewer_or_in_pictures(self):
        # Wine links Pictures to the host's home folder: a folder of the prefix's own instead.
        pictures = [p for p in glob.glob(os.path.join(self.s.prefix, "drive_c/users/*/Pictures"))
                    if "/Public/" not in p]
        self.assertEqual(len(pictures), 1)
        pictures = pictures[0]
        if os.path.islink(pictures):
            os.unlink(pictures)
            os.mkdir(pictures)
        self.game = self.start_game(frozen=True, dump=True)
        viewer = self.start_viewer()
        self.s.wait_viewer_mode(True)
        folder = self.programs.path("screenshots")
        for filter_name, shown in (("off", "Off"), ("scale2x", "Scale2x"), ("hq2x", "hq2x")):
            if filter_name != "off":
                frame_clock.switch_filter(self.s, self.game, shown)
            name, seconds = self.press(folder)
            print("\n%s saved in %.2f s" % (name, seconds), file=sys.stderr)
            self.assertTrue(name.endswith(" " + filter_name), name)
            game_png, scaled = os.path.join(folder, name + "-game.png"), self.s.file("scaled.png")
            self.assertIsNone(harness.compare_images(read_png(game_png), self.game.frozen_frame()))
            self.assertEqual(self.s.run_to_end(self.s.exe("tools/lumenpane-scale.exe"), [
                "--filter", filter_name, harness.windows_path(game_png),
                harness.windows_path(scaled)])[0], 0)
            self.assertIsNone(harness.compare_images(read_png(os.path.join(folder, name + ".png")),
                                                     read_png(scaled)))

        app_data = glob.glob(os.path.join(self.s.prefix, "drive_c/users/*/AppData/Local"))
        self.assertEqual(len([p for p in app_data if "/Public/" not in p]), 1)
        app_data = os.path.join([p for p in app_data if "/Public/" not in p][0], "Lumenpane")
        os.makedirs(app_data, exist_ok=True)
        os.rename(folder, folder + "-kept")
        for path in (folder, os.path.join(pictures, "Lumenpane"),
                     os.path.join(app_data, "screenshots")):
            with open(path, "w") as f:
                f.write(NOT_A_FOLDER)
        self.press(folder, "Screenshot not saved")
        self.assertEqual([line[:22] for line in self.viewer_log()], ["screenshot not saved: "])
        os.remove(os.path.join(pictures, "Lumenpane"))
        self.press(os.path.join(pictures, "Lumenpane"))
        with open(folder) as f:
            self.assertEqual(f.read(), NOT_A_FOLDER)
        self.assertEqual(len(self.viewer_log()), 1)
        os.rename(os.path.join(pictures, "Lumenpane"), os.path.join(pictures, "Lumenpane-kept"))
        with open(os.path.join(pictures, "Lumenpane"), "w") as f:  # both places refuse
            f.write(NOT_A_FOLDER)
        os.remove(os.path.join(app_data, "screenshots"))
        self.press(os.path.join(app_data, "screenshots"), notice="Saved in AppData: ")
        self.assertEqual(len(self.viewer_log()), 1)
        self.close_game(self.game, viewer)


if __name__ == "__main__":
    unittest.main()

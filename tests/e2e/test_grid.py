"""grid=4, fit=integer on 1920x1080: MMPX by the starter's count, then Off, Scale4x and hq2x by
F8, each on the screen as lumenpane-scale --grid 4 makes it; F9 saves Scale4x; the window=1
window shows Scale2x at grid 2. grid=3 on 1280x720: Scale3x by the starter's count, 960x720
filling the height. Run by run.py."""

import os

import harness
import test_starter
from test_live_picture import read_png

VK_F8, VK_F9 = harness.VK_F8, 0x78


class GridTest(test_starter.StarterTest):
    grid = 4
    screen_size = (1920, 1080)
    picture = (320, 60, 1280, 960)  # the 1280x960 frame at 1x, centred on 1920x1080

    def start(self, count, filters="off, scale2x, hq2x"):
        """The starter with this count, the viewer at the grid with fit=integer; returns the
        game's frozen picture as a PNG file."""
        self.with_game()
        self.programs.copy("src/lumenpane.exe")
        with open(self.programs.path("lumenpane.ini"), "w", newline="\r\n") as ini:
            ini.write("[display]\nfit=integer\ngrid=%d\nfilters=%s\n" % (self.grid, filters))
        self.config(str(count))
        dump, single = self.s.file("grid.raw"), self.s.file("grid-in.png")
        proc = self.run_program(self.starter, (), {
            "LMP_DEMO_LOG": harness.windows_path(self.game_log), "LMP_DEMO_FREEZE": "1",
            "LMP_DEMO_DUMP": harness.windows_path(dump)})
        self.assertEqual(self.s.wait_exit(proc, 30), 0)  # dumped before the game window opened
        harness.write_png(single, harness.read_raw(dump, 320, 240))
        self.s.wait_viewer_mode(True)
        return single

    def scaled(self, single, name, grid=None):
        grid = grid or self.grid
        out = self.s.file("grid%d-%s.png" % (grid, name))
        rc, text = self.s.run_to_end(self.s.exe("tools/lumenpane-scale.exe"), [
            "--filter", name, "--grid", str(grid),
            *map(harness.windows_path, (single, out))])
        self.assertEqual(rc, 0, text)
        return read_png(out)

    def assert_screen_shows(self, picture, what, area=None):
        last = ["nothing grabbed"]

        def shows():  # after F8 once the filter's name has gone
            last[0] = harness.compare_images(self.s.grab(*(area() if area else self.picture)), picture)
            return last[0] is None
        if not harness.poll(shows, 20, interval=0.3):
            self.s.screenshot(os.environ.get("LMP_E2E_SHOT", self.s.file("grid.png")))
            self.fail("%s: %s" % (what, last[0]))


class GridFourTest(GridTest):
    def test_each_filter_at_grid_4_on_the_screen_and_mmpx_by_the_starters_count(self):
        single = self.start(3, "off, scale2x, hq2x, mmpx")
        self.assert_screen_shows(self.scaled(single, "mmpx"), "MMPX applied twice")
        for name in ("off", "scale2x", "hq2x"):
            self.s.tap(VK_F8)
            self.assert_screen_shows(expected := self.scaled(single, name), name)
            if name == "scale2x":
                self.assert_f9_saves(expected, "scale4x")
                self.assert_window_at_grid_2(single)

    def assert_window_at_grid_2(self, single):
        """The window=1 window at 100 % shows the frame 1:1: Scale2x at grid 2 there, not
        Scale4x reduced (5121 of the stand-in's pixels differ), and Scale4x again on F6."""
        self.s.tap(harness.VK_F6)
        window = self.s.wait_viewer_state(self.s.viewer_windowed, "the viewer windowed")
        self.assert_screen_shows(self.scaled(single, "scale2x", grid=2), "Scale2x in the window",
                                 lambda: (*harness.viewer_client_origin(window), 640, 480))
        self.s.tap(harness.VK_F6)
        self.s.wait_viewer_mode(True)

    def assert_f9_saves(self, expected, filter_name):
        self.s.tap(VK_F9)
        folder = self.programs.path("screenshots")
        names = lambda: os.listdir(folder) if os.path.isdir(folder) else []
        name = harness.wait_until(lambda: next((n[:-4] for n in names() if n[:-4] + "-game.png"
                                                in names()), None), 10, "F9's two files")
        self.assertTrue(name.endswith(" " + filter_name), name)
        self.assertIsNone(harness.compare_images(read_png(os.path.join(folder, name + ".png")),
                                                 expected))


class GridThreeTest(GridTest):
    grid = 3
    screen_size = (1280, 720)
    picture = (160, 0, 960, 720)  # the 960x720 frame at 1x fills the height

    def test_scale3x_by_the_starters_count_fills_the_height(self):
        single = self.start(1)
        self.assert_screen_shows(self.scaled(single, "scale2x"), "Scale3x")

"""The viewer's live picture, seen on the screen: the frame in each filter mode, the overlay,
the frames-per-second counter, full screen and back, minimising. Run through run.py.

Under Wine a window of another process prints black, so the stand-in game runs in the same
process as the viewer: tests/lmp_live_host.exe starts the game's window on a thread of its
own and then runs the viewer's ordinary main. The game's frame is frozen and dumped; the
expected pictures are that frame doubled (Off) and what lumenpane-scale makes of it (Scale2x,
hq2x). In the window the client area shows the 640x480 frame 1:1, so it is compared exactly.
"""

import struct
import time
import unittest
import zlib

import base
import harness
from harness import VK_F6, VK_F7, VK_F8

FULLSCREEN_EXSTYLE = 0x96000008
WS_VISIBLE, WS_CLIPSIBLINGS = 0x10000000, 0x04000000
OVERLAY_X = OVERLAY_Y = 16
OVERLAY_HEIGHT = 24


def read_png(path):
    """An 8-bit RGB or RGBA, non-interlaced PNG file as a harness Image (alpha dropped)."""
    with open(path, "rb") as f:
        data = f.read()
    pos, idat, header = 8, b"", None
    while pos < len(data):
        (length,) = struct.unpack(">I", data[pos:pos + 4])
        kind, body = data[pos + 4:pos + 8], data[pos + 8:pos + 8 + length]
        if kind == b"IHDR":
            header = struct.unpack(">IIBBBBB", body)
        elif kind == b"IDAT":
            idat += body
        pos += 12 + length
    width, height, depth, colour_type, _, _, interlace = header
    if depth != 8 or colour_type not in (2, 6) or interlace:
        raise harness.HarnessError("%s: unsupported PNG layout %r" % (path, header))
    bpp = 3 if colour_type == 2 else 4
    raw, stride = zlib.decompress(idat), width * bpp
    rows, previous, pos = [], bytearray(stride), 0
    for _ in range(height):
        kind, line = raw[pos], bytearray(raw[pos + 1:pos + 1 + stride])
        pos += 1 + stride
        for i in range(stride):
            a = line[i - bpp] if i >= bpp else 0
            b = previous[i]
            c = previous[i - bpp] if i >= bpp else 0
            if kind == 1:
                line[i] = (line[i] + a) & 255
            elif kind == 2:
                line[i] = (line[i] + b) & 255
            elif kind == 3:
                line[i] = (line[i] + (a + b) // 2) & 255
            elif kind == 4:
                p = a + b - c
                pa, pb, pc = abs(p - a), abs(p - b), abs(p - c)
                line[i] = (line[i] + (a if pa <= pb and pa <= pc else b if pb <= pc else c)) & 255
        rows.append(line)
        previous = line
    pixels = [(row[i] << 16) | (row[i + 1] << 8) | row[i + 2]
              for row in rows for i in range(0, stride, bpp)]
    return harness.Image(width, height, pixels)


def halved(colour):
    """A channel-wise floor(c / 2): the overlay's black at alpha 128 over a picture pixel."""
    return (colour >> 1) & 0x7F7F7F


class LivePictureTest(base.E2ETest):
    """One viewer for the whole class; the tests run in the order of their numbers, each
    starting from the state the one before left (windowed, Off, no overlay)."""

    @classmethod
    def start_class(cls):
        cls.dump = cls.for_class.path("live-frame.raw")
        # The viewer in it would write lumenpane.log beside the program: a copy of its own.
        host = cls.for_class.copy("tests/lmp_live_host.exe")
        cls.for_class.start_viewer(host, env={
            "LMP_DEMO_FREEZE": "1", "LMP_DEMO_DUMP": harness.windows_path(cls.dump)}, timeout=30)
        harness.wait_until(lambda: cls._dump_ready(), 15, "the game's frozen frame")
        frame = harness.read_raw(cls.dump, 320, 240)
        cls.expected = {"off": frame.doubled()}
        single = cls.s.file("live-single.png")
        harness.write_png(single, frame)
        for name in ("scale2x", "hq2x"):
            out = cls.s.file("live-%s.png" % name)
            rc, text = cls.s.run_to_end(cls.s.exe("tools/lumenpane-scale.exe"), [
                "--filter", name, harness.windows_path(single), harness.windows_path(out)])
            if rc != 0:
                raise harness.HarnessError("lumenpane-scale %s failed (%d): %s" % (name, rc, text))
            cls.expected[name] = read_png(out)

    @classmethod
    def _dump_ready(cls):
        try:
            harness.read_raw(cls.dump, 320, 240)
            return True
        except (OSError, harness.HarnessError):
            return False

    # -- helpers ------------------------------------------------------------------------

    def viewer(self):
        """The viewer window as it is now (its handle changes when the surface reopens)."""
        window = self.s.find_viewer()
        self.assertIsNotNone(window, "the viewer window is gone")
        return window

    def is_fullscreen(self, w):
        # No style bits but visibility and the clipping Wine adds to every top-level window.
        return (self.s.viewer_full_screen(w)
                and w["style"] & ~(WS_VISIBLE | WS_CLIPSIBLINGS) == 0
                and w["exstyle"] == FULLSCREEN_EXSTYLE)

    def is_windowed(self, w):
        return self.s.viewer_windowed(w) and w["exstyle"] != FULLSCREEN_EXSTYLE

    def wait_viewer(self, predicate, what):
        return self.s.wait_viewer_state(predicate, what, timeout=20)

    def client(self):
        """The 640x480 client area of the windowed viewer, from the screen."""
        w = self.viewer()
        self.assertTrue(self.is_windowed(w), "the viewer is not windowed: %r" % w)
        return self.s.grab_viewer_frame(w)

    def below_overlay(self, image):
        return image.crop(0, OVERLAY_Y + OVERLAY_HEIGHT, 640, 480 - OVERLAY_Y - OVERLAY_HEIGHT)

    def wait_picture(self, name, timeout=20, whole=True):
        """Waits until the client area equals the expected picture (whole, or below the
        overlay's rows); fails with the last difference."""
        expected = self.expected[name]
        if not whole:
            expected = self.below_overlay(expected)
        last = ["nothing grabbed"]

        def matches():
            shot = self.client()
            if not whole:
                shot = self.below_overlay(shot)
            last[0] = harness.compare_images(shot, expected)
            return last[0] is None
        try:
            harness.wait_until(matches, timeout, "the %s picture" % name, interval=0.3)
        except harness.HarnessError:
            self.fail("%s picture: %s" % (name, last[0]))

    def overlay_box(self, shot, plain, width):
        """Checks that a box of this width at (16, 16) darkens the picture: every pixel in it
        is the picture halved or near-white text, and the columns and rows around it are
        untouched. Returns how many text pixels it holds."""
        text = 0
        for y in range(OVERLAY_Y, OVERLAY_Y + OVERLAY_HEIGHT):
            for x in range(OVERLAY_X, OVERLAY_X + width):
                got, under = shot.at(x, y), plain.at(x, y)
                if got == halved(under):
                    continue
                self.assertTrue(all(((got >> s) & 255) >= 0xF0 for s in (0, 8, 16)),
                                "(%d, %d): %06x is neither the darkened %06x nor text"
                                % (x, y, got, under))
                text += 1
        for x, y in ((OVERLAY_X - 1, 20), (OVERLAY_X + width, 20), (30, OVERLAY_Y - 1),
                     (30, OVERLAY_Y + OVERLAY_HEIGHT)):
            self.assertEqual(shot.at(x, y), plain.at(x, y), "(%d, %d) lies outside" % (x, y))
        return text

    # -- tests --------------------------------------------------------------------------

    def test_1_full_screen_shortly_after_start_without_a_key(self):
        self.wait_viewer(self.is_fullscreen, "the viewer over the whole screen")
        # The frame is stretched over the screen: the picture is there, not one colour.
        harness.wait_until(lambda: self.s.grab(0, 0, *self.s.screen_size).colours() > 50, 10,
                           "the picture over the whole screen")

    def test_2_f6_back_to_the_window_shows_the_doubled_frame_one_to_one(self):
        self.wait_viewer(self.is_fullscreen, "the viewer over the whole screen")
        self.s.tap(VK_F6)
        w = self.wait_viewer(self.is_windowed, "the framed viewer window")
        self.assertLess(w["rect"][2] - w["rect"][0], self.s.screen_size[0])
        self.wait_picture("off")

    def test_3_f6_switches_to_full_screen_and_back_to_the_same_place(self):
        before = self.wait_viewer(self.is_windowed, "the framed viewer window")
        self.s.tap(VK_F6)
        self.wait_viewer(self.is_fullscreen, "full screen after F6")
        self.s.tap(VK_F6)
        after = self.wait_viewer(self.is_windowed, "the framed window after F6")
        self.assertEqual(after["rect"], before["rect"])
        self.assertEqual(after["style"], before["style"])
        self.wait_picture("off")

    def test_4_each_filter_shows_what_the_scale_tool_makes_of_the_frame(self):
        # The three pictures must differ, or the comparisons could not tell the modes apart.
        pictures = [tuple(self.expected[n].pixels) for n in ("off", "scale2x", "hq2x")]
        self.assertEqual(len(set(pictures)), 3)
        self.wait_picture("off")
        for name in ("scale2x", "hq2x"):
            self.s.tap(VK_F8)
            self.wait_picture(name, whole=False)  # below the filter's name at once
            self.wait_picture(name, timeout=10)   # all of it once the name has gone
        self.s.tap(VK_F8)
        self.wait_picture("off", whole=False)
        self.wait_picture("off", timeout=10)

    def test_5_the_filter_name_shows_in_its_box_and_is_gone_after_three_seconds(self):
        plain = self.expected["off"]
        self.wait_picture("off")
        for name, width in (("scale2x", 136), ("hq2x", 112), ("off", 104)):
            pressed = time.monotonic()  # before the key goes down
            self.s.tap(VK_F8)
            self.wait_picture(name, whole=False, timeout=2)
            shot = self.client()
            self.assertGreater(self.overlay_box(shot, self.expected[name], width), 20)
            self.wait_picture(name, timeout=10)
            self.assertGreaterEqual(time.monotonic() - pressed, 3.0, "the name went too early")
        self.assertEqual(self.client().pixels, plain.pixels)

    def test_6_f7_shows_and_hides_the_counter(self):
        self.wait_picture("off")
        self.s.tap(VK_F7)
        plain = self.expected["off"]
        box = harness.wait_until(
            lambda: (lambda shot: shot if shot.at(OVERLAY_X, OVERLAY_Y) != plain.at(
                OVERLAY_X, OVERLAY_Y) else None)(self.client()), 10, "the counter")
        self.assertGreater(self.overlay_box(box, plain, 80), 20)
        self.s.tap(VK_F7)
        self.wait_picture("off")

    def test_7_minimised_and_restored_the_picture_comes_back(self):
        w = self.wait_viewer(self.is_windowed, "the framed viewer window")
        self.s.minimize(w["hwnd"])
        self.wait_viewer(lambda v: v["minimized"], "the minimised viewer")
        game = self.s.find_window(harness.GAME_CLASS)
        harness.wait_until(lambda: not self.s.window(game["hwnd"])["visible"], 10,
                           "the game window hidden while minimised")
        self.s.restore(w["hwnd"])
        self.wait_viewer(self.is_windowed, "the restored viewer window")
        self.wait_picture("off")


if __name__ == "__main__":
    unittest.main()

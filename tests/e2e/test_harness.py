"""The harness's own parts: image files and comparisons (no Wine needed), the probe's
commands on real windows, and that a session leaves nothing running behind."""

import os
import struct
import time
import unittest
import zlib

import base
import harness


def png_chunks(data):
    """(type, body) of every chunk of a PNG file, checking each chunk's CRC."""
    assert data[:8] == b"\x89PNG\r\n\x1a\n"
    pos, chunks = 8, []
    while pos < len(data):
        length, = struct.unpack_from(">I", data, pos)
        kind, body = data[pos + 4:pos + 8], data[pos + 8:pos + 8 + length]
        crc, = struct.unpack_from(">I", data, pos + 8 + length)
        assert crc == zlib.crc32(kind + body) & 0xFFFFFFFF, kind
        chunks.append((kind, body))
        pos += 12 + length
    return chunks


class ImageFiles(unittest.TestCase):
    def test_png_holds_the_pixels_row_by_row(self):
        image = harness.Image(3, 2, [0xFF0000, 0x00FF00, 0x0000FF, 0x123456, 0xFFFFFF, 0x000000])
        chunks = png_chunks(harness.png_bytes(image))
        self.assertEqual([k for k, _ in chunks], [b"IHDR", b"IDAT", b"IEND"])
        width, height, depth, colour = struct.unpack(">IIBB", chunks[0][1][:10])
        self.assertEqual((width, height, depth, colour), (3, 2, 8, 2))
        raw = zlib.decompress(chunks[1][1])
        self.assertEqual(raw, b"\0" + bytes.fromhex("ff000000ff000000ff")
                         + b"\0" + bytes.fromhex("123456ffffff000000"))

    def test_raw_file_is_little_endian_and_ignores_top_byte(self):
        path = os.path.join(self._tmp(), "x.raw")
        with open(path, "wb") as f:
            f.write(struct.pack("<2I", 0xAA102030, 0x00405060))
        image = harness.read_raw(path, 2, 1)
        self.assertEqual(image.pixels, [0x102030, 0x405060])
        with self.assertRaises(harness.HarnessError):
            harness.read_raw(path, 3, 1)

    def test_crop_and_nearest_doubling(self):
        image = harness.Image(3, 2, [1, 2, 3, 4, 5, 6])
        self.assertEqual(image.crop(1, 0, 2, 2).pixels, [2, 3, 5, 6])
        self.assertEqual(image.doubled().pixels[:6], [1, 1, 2, 2, 3, 3])
        self.assertEqual(image.doubled().crop(0, 2, 6, 2).pixels, [4, 4, 5, 5, 6, 6] * 2)
        with self.assertRaises(ValueError):
            image.crop(2, 0, 2, 1)

    def test_compare_names_first_difference_and_honours_tolerance(self):
        a = harness.Image(2, 2, [0x000000, 0x101010, 0x202020, 0x303030])
        self.assertIsNone(harness.compare_images(a, harness.Image(2, 2, list(a.pixels))))
        b = harness.Image(2, 2, [0x000000, 0x101010, 0x202022, 0x303130])
        self.assertEqual(harness.compare_images(a, b),
                         "2 pixels differ; first at (0, 1): 202020 != 202022")
        self.assertIsNone(harness.compare_images(a, b, tolerance=2))
        self.assertIn("size", harness.compare_images(a, harness.Image(1, 1, [0])))

    def test_within_fails_only_on_a_late_observation_that_still_found_nothing(self):
        # (seconds since the start when the state arrives, allowed seconds, passes)
        for arrives, allowed, passes in ((0.0, 0.2, True), (0.1, 0.4, True),
                                         (0.5, 0.2, False), (None, 0.2, False)):
            with self.subTest(arrives=arrives, allowed=allowed):
                since = time.monotonic()

                def state():
                    return arrives is not None and time.monotonic() - since >= arrives
                if passes:
                    self.assertTrue(harness.within(since, allowed, state, "x", timeout=1))
                else:
                    with self.assertRaises(harness.HarnessError):
                        harness.within(since, allowed, state, "x", timeout=1)

    def test_windows_path_is_on_drive_z(self):
        self.assertEqual(harness.windows_path("/tmp/a b/c.raw"), "Z:\\tmp\\a b\\c.raw")

    def _tmp(self):
        import tempfile
        d = tempfile.mkdtemp()
        self.addCleanup(lambda: __import__("shutil").rmtree(d))
        return d


class ProbeCommands(base.E2ETest):
    def test_message_box_text_and_ok(self):
        box_proc = self.run_program(self.s.exe("tests/lmp_probe.exe"),
                                    ["msgbox-show", "Probe Box", "Line one of the text."])
        box = harness.wait_until(
            lambda: next((b for b in self.s.message_boxes() if b["caption"] == "Probe Box"), None),
            10, "the message box")
        self.assertEqual(box["text"], "Line one of the text.")
        self.s.press_ok(box["hwnd"])
        self.assertEqual(self.s.wait_exit(box_proc, 10), 0)
        self.assertIn('"button": 1', box_proc.stdout.read().decode())

    def test_move_minimise_restore_and_screen_grab(self):
        game = self.start_game(frozen=True)
        moved = self.s.move_window(game.hwnd, 30000, 30000)
        self.assertEqual(moved["rect"][:2], [30000, 30000])
        # Nothing of the game is left on screen once it is parked.
        harness.wait_until(lambda: self.s.grab(0, 0, 800, 600).colours() == 1, 5, "an empty screen")
        self.assertTrue(self.s.minimize(game.hwnd)["minimized"])
        self.assertFalse(self.s.restore(game.hwnd)["minimized"])
        self.assertIsNone(game.proc.poll())
        self.close_game(game, timeout=10)

    def test_missing_window_is_reported_not_invented(self):
        self.assertIsNone(self.s.find_window("NoSuchClassAnywhere"))
        with self.assertRaises(harness.HarnessError):
            self.s.wait_window("NoSuchClassAnywhere", timeout=0.2)


def processes_with_environment(entry):
    """PIDs of processes whose environment holds `entry` (e.g. WINEPREFIX=...)."""
    found = []
    for pid in filter(str.isdigit, os.listdir("/proc")):
        try:
            with open("/proc/%s/environ" % pid, "rb") as f:
                if entry.encode() in f.read().split(b"\0"):
                    found.append(int(pid))
        except OSError:
            pass
    return found


class SessionCleanup(unittest.TestCase):
    def test_close_ends_programs_wine_server_and_xvfb(self):
        session = harness.Session(display=None, screen_size=(800, 600)).start()
        try:
            # The session's own screen has the size asked for: a full-screen game covers it.
            game = session.start_game(fullscreen=True)
            # The game turns full screen after its window first shows.
            harness.wait_until(lambda: game.refresh()["rect"] == [0, 0, 800, 600], 5,
                               "a full-screen game covering the 800x600 screen")
            prefix_entry = "WINEPREFIX=" + session.prefix
            self.assertTrue(processes_with_environment(prefix_entry))
            xvfb, workdir = session._xvfb, session.workdir
        finally:
            session.close()
        self.assertIsNotNone(game.proc.poll())
        self.assertEqual(processes_with_environment(prefix_entry), [])
        self.assertIsNotNone(xvfb.poll())
        self.assertFalse(os.path.exists(workdir))

    def test_failed_start_leaves_nothing_behind(self):
        session = harness.Session(wine="/bin/false", display=None)
        with self.assertRaises(harness.HarnessError):
            session.start()
        self.assertIsNotNone(session._xvfb.poll(), "Xvfb still running")
        self.assertFalse(os.path.exists(session.workdir))


if __name__ == "__main__":
    unittest.main()

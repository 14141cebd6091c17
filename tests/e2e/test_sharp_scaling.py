"""scaling=sharp in lumenpane.ini, seen on a 1920x1080 screen of its own: the real viewer full
screen on the frozen stand-in game in filter Off (its 640x480 frame the game's picture
doubled), every picture pixel checked against the frame scaled by exact area weights, and
the stretch without the key against nearest neighbour: on the GDI road the frame pixel under
each screen pixel's top left corner, on the flip road the one under its centre. Run through
run.py."""

import operator
import unittest

import base
import harness
from test_display_fit import SCREEN, BLACK, FullHdViewerTest, colours_of_columns

TOLERANCE = 3


def axis_taps(source, size):
    """Per picture pixel of an axis growing from source to size pixels: (frame pixel, the
    one after it, the share of the picture pixel the one after covers). Picture pixel i spans
    [i, i + 1) * source / size of the frame, so it covers at most two frame pixels."""
    taps = []
    for i in range(size):
        start, end = i * source, (i + 1) * source  # in 1/size-ths of a frame pixel
        first = start // size
        boundary = (first + 1) * size
        taps.append((first, min(first + 1, source - 1), max(0, end - boundary) / source))
    return taps


def channels(row):
    return [[(p >> shift) & 255 for p in row] for shift in (16, 8, 0)]


def area_weighted(frame, width, height):
    """The frame as a width x height picture by exact area weights: per row the three
    channels as lists of floats."""
    columns = axis_taps(frame.width, width)
    across = []
    for y in range(frame.height):
        row = frame.pixels[y * frame.width:(y + 1) * frame.width]
        across.append([[c[a] + (c[b] - c[a]) * w for a, b, w in columns] for c in channels(row)])
    picture = []
    for a, b, w in axis_taps(frame.height, height):
        picture.append(across[a] if w == 0 else
                       [[p + (q - p) * w for p, q in zip(ca, cb)]
                        for ca, cb in zip(across[a], across[b])])
    return picture


def nearest(frame, width, height):
    """The frame as a width x height picture, each pixel the frame pixel its top left corner
    lies on (as GDI's stretch under Wine places them)."""
    xs = [x * frame.width // width for x in range(width)]
    pixels = []
    for y in range(height):
        start = y * frame.height // height * frame.width
        pixels += [frame.pixels[start + x] for x in xs]
    return harness.Image(width, height, pixels)


def centred(frame, width, height):
    """The frame as a width x height picture, each pixel the frame pixel under its centre
    (as the flip road places them)."""
    xs = [(2 * x + 1) * frame.width // (2 * width) for x in range(width)]
    pixels = []
    for y in range(height):
        start = (2 * y + 1) * frame.height // (2 * height) * frame.width
        pixels += [frame.pixels[start + x] for x in xs]
    return harness.Image(width, height, pixels)


class SharpScalingTest(FullHdViewerTest):
    def test_sharp_pictures_follow_the_area_weights_and_the_default_stays_nearest(self):
        cases = (  # name, lumenpane.ini, picture on the screen, its expected pixels
            ("aspect-sharp", "[display]\nfit=aspect\nscaling=sharp\n", (240, 0, 1440, 1080),
             area_weighted),
            ("stretch-sharp", "[display]\nscaling = Sharp\n", (0, 0, 1920, 1080), area_weighted),
            ("stretch-gdi", "[display]\npresent=gdi\n", (0, 0, 1920, 1080), nearest),
            ("stretch-default", None, (0, 0, 1920, 1080), centred),
        )
        for name, ini, (x, y, w, h), expect in cases:
            with self.subTest(name):
                want = expect(self.frame, w, h)
                self.programs = base.Programs(self.s, name)  # a viewer and a file of its own
                self.start_viewer(ini)
                self.assert_full_screen_shows(lambda screen: self.shows(screen, x, w, want))
                self.assertEqual(self.viewer_log(), [])
                self.programs.end(leftovers=False)  # the game stays for the next case

    def shows(self, screen, left, width, want):
        """None when the black bars beside columns left..left+width-1 are black and the
        picture there is `want`: an Image shown exactly, or rows of channels within
        TOLERANCE; else what differs."""
        for bar in ((0, left), (left + width, SCREEN[0])):
            if bar[0] < bar[1] and colours_of_columns(screen, *bar) != {BLACK}:
                return "columns %d..%d are not all black" % bar
        picture = screen.crop(left, 0, width, SCREEN[1])
        if isinstance(want, harness.Image):
            return harness.compare_images(picture, want)
        for y, expected in enumerate(want):
            got = channels(picture.pixels[y * width:(y + 1) * width])
            for channel, (g, e) in enumerate(zip(got, expected)):
                errors = list(map(abs, map(operator.sub, g, e)))
                if max(errors) > TOLERANCE:
                    x = max(range(width), key=errors.__getitem__)
                    return "picture pixel (%d, %d) channel %d is %d, the area weights give %.2f" % (
                        x, y, channel, g[x], e[x])
        return None


if __name__ == "__main__":
    unittest.main()

"""Watching the running viewer from outside: the text of its overlay read off the screen,
and its memory and processor time read from Linux. Used by the soak test and by
tools/measure_viewer.py. Standard library only.

Overlay text: the overlay box lies at (16, 16) of the 640x480 frame and its text starts 8
pixels further in, one 8x8 cell per character. The text is opaque white over the picture
darkened to half (every channel at most 0x7F), so each pixel of a cell is plainly either ink
or background; the glyph shapes are read from the viewer's own font source, so the reader
follows any change to the font.

Memory: the Linux process that `wine program.exe` starts (the Popen pid) is the process
that runs the Windows program; Wine cannot tell another Windows process's private bytes, so
they are read from /proc. RssAnon counts the resident anonymous pages: the Windows heap,
VirtualAlloc blocks, DIB sections, thread stacks and the copied-on-write pages of loaded
modules, i.e. the program's own private memory. Private_Dirty/Private_Clean of smaps_rollup
are not used: they also count file-backed pages (such as the capture helper the viewer
writes to disk), which move between dirty and clean and between private and shared as the
kernel writes them back or another Wine process maps the same file, so they wander by about
a megabyte with no change in the program. There is no swap here, so RssAnon is all of the
anonymous memory.
"""

import os
import re

import harness

FONT_SOURCE = os.path.join(harness.SOURCE_DIR, "src", "pixels", "font8x8.cpp")
FONT_FIRST_CODE = 32
FRAME_SIZE = harness.VIEWER_FRAME_SIZE
TEXT_ORIGIN = (24, 24)  # the box at (16, 16) plus the text margin of 8
CELL = 8
DARK_MAX = 0x80   # the darkened picture: each channel halved
INK_MIN = 0xF0    # the text: opaque white

_font = None


def load_font(path=FONT_SOURCE):
    """The glyph table of the font source as {tuple of 8 row bytes: character}. Row bytes
    hold the leftmost pixel in bit 7. Raises HarnessError when the table cannot be read or
    two characters share one shape (the reader could not tell them apart)."""
    with open(path, encoding="utf-8") as f:
        source = f.read()
    start = source.find("Glyphs[")
    end = source.find("};", start)
    if start < 0 or end < 0:
        raise harness.HarnessError("%s: no glyph table" % path)
    rows = re.findall(r"\{\s*((?:0x[0-9A-Fa-f]{2}\s*,\s*){7}0x[0-9A-Fa-f]{2})\s*\}",
                      source[start:end])
    if len(rows) != 126 - FONT_FIRST_CODE + 1:
        raise harness.HarnessError("%s: %d glyphs, expected 95" % (path, len(rows)))
    font = {}
    for index, row in enumerate(rows):
        shape = tuple(int(byte, 16) for byte in row.split(","))
        character = chr(FONT_FIRST_CODE + index)
        if shape in font:
            raise harness.HarnessError("%r and %r share one shape" % (font[shape], character))
        font[shape] = character
    return font


def font():
    global _font
    if _font is None:
        _font = load_font()
    return _font


def cell_shape(image, x, y):
    """The 8 row bytes of the cell whose top-left pixel is (x, y), or None when a pixel in
    it is neither ink nor darkened picture (so this is no overlay text)."""
    shape = []
    for r in range(CELL):
        bits = 0
        for c in range(CELL):
            pixel = image.at(x + c, y + r)
            channels = [(pixel >> s) & 255 for s in (16, 8, 0)]
            if min(channels) >= INK_MIN:
                bits |= 0x80 >> c
            elif max(channels) > DARK_MAX:
                return None
        shape.append(bits)
    return tuple(shape)


def read_text(image, count, x=TEXT_ORIGIN[0], y=TEXT_ORIGIN[1]):
    """The `count` characters of overlay text starting at (x, y) of the image (by default
    where the overlay writes in the 640x480 frame), or None when any cell is not text of
    the font."""
    text = []
    for i in range(count):
        shape = cell_shape(image, x + CELL * i, y)
        character = font().get(shape) if shape else None
        if character is None:
            return None
        text.append(character)
    return "".join(text)


def grab_text(session, window, count):
    """Reads `count` characters of the overlay of the windowed viewer off the screen."""
    x, y = harness.viewer_client_origin(window)
    return grab_text_in(session, (x, y) + FRAME_SIZE, count)


def grab_text_in(session, picture, count):
    """Reads `count` characters of the overlay off the screen, where the frame is shown in
    the rectangle `picture` (left, top, width, height): 1:1, or enlarged at least 2x by
    nearest neighbour or sharp scaling, so the centre of each frame pixel falls on a screen
    pixel of that frame pixel's own colour."""
    left, top, width, height = picture
    sx, sy = width / FRAME_SIZE[0], height / FRAME_SIZE[1]
    x0, y0, w = TEXT_ORIGIN[0], TEXT_ORIGIN[1], CELL * count
    columns = [left + int((x + 0.5) * sx) for x in range(x0, x0 + w)]
    rows = [top + int((y + 0.5) * sy) for y in range(y0, y0 + CELL)]
    image = session.grab(columns[0], rows[0], columns[-1] + 1 - columns[0], rows[-1] + 1 - rows[0])
    pixels = [image.at(x - columns[0], y - rows[0]) for y in rows for x in columns]
    return read_text(harness.Image(w, CELL, pixels), count, 0, 0)


def picture_on_screen(screen):
    """Where a full-screen viewer shows the frame, (left, top, width, height), from a
    screenshot: the picture is centred between black bars, and its first row and column
    are not black (the frame's bottom rows may be)."""
    lit_rows = [y for y in range(screen.height)
                if any(screen.pixels[y * screen.width:(y + 1) * screen.width])]
    if not lit_rows:
        return None
    top = lit_rows[0]
    row = screen.pixels[top * screen.width:(top + 1) * screen.width]
    left = next(x for x, p in enumerate(row) if p)
    return left, top, screen.width - 2 * left, screen.height - 2 * top


def private_memory_kib(pid):
    """RssAnon of a Linux process in KiB (see the module's description)."""
    with open("/proc/%d/status" % pid) as f:
        for line in f:
            if line.startswith("RssAnon:"):
                return int(line.split()[1])
    raise harness.HarnessError("process %d has no RssAnon" % pid)


def cpu_seconds(pid):
    """User plus system processor time of a Linux process, all threads, in seconds."""
    with open("/proc/%d/stat" % pid) as f:
        stat = f.read()
    # The command name in parentheses may hold spaces: the fields follow its last ')'.
    fields = stat[stat.rindex(")") + 2:].split()
    utime, stime = int(fields[11]), int(fields[12])
    return (utime + stime) / os.sysconf("SC_CLK_TCK")

"""End-to-end harness: runs Windows programs of a MinGW build under Wine on a private X
display and a private Wine prefix, and looks at and acts on their windows through the probe
program (lmp_probe.exe). Standard library only. See README.md in this folder for the API.

Configuration by environment:
  LMP_WIN_BUILD  the Windows build directory (default: build/win-ARCH beside the sources)
  LMP_WIN_ARCH   i686 or x86_64, the ARCH of that default   } as scripts/wine-env.sh exports
  LMP_WINE       the Wine loader                            } them; where either is missing,
                 the harness sources that script through bash, so it alone decides
  LMP_DISPLAY    an X display to use instead of starting Xvfb (e.g. ":0")
"""

import atexit
import json
import os
import select
import shutil
import struct
import subprocess
import sys
import tempfile
import time
import zlib

SOURCE_DIR = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
SCREEN_SIZE = (1024, 768)

# Virtual key codes used by the tests.
VK_F4, VK_F5, VK_F6, VK_F7, VK_F8 = 0x73, 0x74, 0x75, 0x76, 0x77
WS_VISIBLE, WS_CAPTION = 0x10000000, 0x00C00000

GAME_CLASS = "TFormLcfGameMain"
GAME_TITLE = "Lumenpane Demo"
GAME_FROZEN_FRAME_SIZE = (320, 240)

# The viewer's window: class this prefix plus the game's title (as the viewer reads it, at
# most 99 characters), caption the same title; in its window mode the client area shows the
# 640x480 frame 1:1.
VIEWER_CLASS_PREFIX = "fbgfxclass_"
VIEWER_FRAME_SIZE = (640, 480)


def viewer_class(title=GAME_TITLE):
    return VIEWER_CLASS_PREFIX + title


def viewer_client_origin(window):
    """Screen position of the client area of the windowed viewer (a border of
    equal width left, right and below, the caption above)."""
    left, _, right, bottom = window["rect"]
    border = (right - left - window["client"][0]) // 2
    return left + border, bottom - border - window["client"][1]


class HarnessError(Exception):
    """A harness step failed: a program did not start, a wait timed out, a probe failed."""


# ---------------------------------------------------------------------------------------
# Images: width, height and a flat list of 0xRRGGBB ints, rows top to bottom.


class Image:
    def __init__(self, width, height, pixels):
        if len(pixels) != width * height:
            raise ValueError("%d pixels for %dx%d" % (len(pixels), width, height))
        self.width, self.height, self.pixels = width, height, pixels

    def at(self, x, y):
        return self.pixels[y * self.width + x]

    def crop(self, x, y, width, height):
        if x < 0 or y < 0 or x + width > self.width or y + height > self.height:
            raise ValueError("crop %r outside %dx%d" % ((x, y, width, height), self.width, self.height))
        rows = [self.pixels[(y + r) * self.width + x:(y + r) * self.width + x + width]
                for r in range(height)]
        return Image(width, height, [p for row in rows for p in row])

    def doubled(self):
        """The image enlarged 2x by repeating every pixel (nearest neighbour)."""
        out = []
        for r in range(self.height):
            row = self.pixels[r * self.width:(r + 1) * self.width]
            wide = [p for p in row for _ in (0, 1)]
            out += wide + wide
        return Image(self.width * 2, self.height * 2, out)

    def colours(self):
        return len(set(self.pixels))


def read_raw(path, width, height):
    """Reads a file of little-endian 32-bit 0x00RRGGBB pixels (what the game's frame dump,
    the probe's grab and the print program write); the top byte is ignored."""
    with open(path, "rb") as f:
        data = f.read()
    if len(data) != width * height * 4:
        raise HarnessError("%s: %d bytes, expected %dx%dx4" % (path, len(data), width, height))
    data = bytearray(data)
    data[3::4] = bytes(width * height)  # the top byte of each little-endian word
    return Image(width, height, list(struct.unpack("<%dI" % (width * height), data)))


def _png_chunk(kind, data):
    body = kind + data
    return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)


def png_bytes(image):
    """The image as an 8-bit RGB PNG file."""
    raw = bytearray()
    for r in range(image.height):
        raw.append(0)  # filter type None
        for p in image.pixels[r * image.width:(r + 1) * image.width]:
            raw += bytes(((p >> 16) & 255, (p >> 8) & 255, p & 255))
    header = struct.pack(">IIBBBBB", image.width, image.height, 8, 2, 0, 0, 0)
    return (b"\x89PNG\r\n\x1a\n" + _png_chunk(b"IHDR", header)
            + _png_chunk(b"IDAT", zlib.compress(bytes(raw), 6)) + _png_chunk(b"IEND", b""))


def write_png(path, image):
    with open(path, "wb") as f:
        f.write(png_bytes(image))


def raw_to_png(raw_path, width, height, png_path):
    write_png(png_path, read_raw(raw_path, width, height))


def compare_images(a, b, tolerance=0):
    """Returns None when the images are equal (each channel within `tolerance`), otherwise a
    text naming the size mismatch or the number of differing pixels and the first one."""
    if (a.width, a.height) != (b.width, b.height):
        return "size %dx%d != %dx%d" % (a.width, a.height, b.width, b.height)
    if a.pixels == b.pixels:
        return None
    first, count = None, 0
    for i, (p, q) in enumerate(zip(a.pixels, b.pixels)):
        if p == q:
            continue
        if tolerance and all(abs(((p >> s) & 255) - ((q >> s) & 255)) <= tolerance for s in (0, 8, 16)):
            continue
        count += 1
        if first is None:
            first = (i % a.width, i // a.width, p, q)
    if not count:
        return None
    x, y, p, q = first
    return "%d pixels differ; first at (%d, %d): %06x != %06x" % (count, x, y, p, q)


# ---------------------------------------------------------------------------------------
# Programs and paths.


WINE_ENV_SCRIPT = os.path.join(SOURCE_DIR, "scripts", "wine-env.sh")


def wine_env():
    """(LMP_WIN_ARCH, LMP_WINE): as exported by a script that sourced scripts/wine-env.sh,
    else what that script decides when sourced here through bash (it keeps either variable
    already set). The answer is put into os.environ, so programs started later see it."""
    if not (os.environ.get("LMP_WIN_ARCH") and os.environ.get("LMP_WINE")):
        try:
            out = subprocess.run(
                ["bash", "-c", 'source "$1" && printf "%s\\n%s\\n" "$LMP_WIN_ARCH" "$LMP_WINE"',
                 "wine-env", WINE_ENV_SCRIPT],
                check=True, timeout=60, stdout=subprocess.PIPE, universal_newlines=True).stdout
        except (OSError, subprocess.SubprocessError) as error:
            raise HarnessError("%s gave no Wine: %s" % (WINE_ENV_SCRIPT, error))
        arch, wine = (out.splitlines() + ["", ""])[:2]
        if not arch or not wine:
            raise HarnessError("%s set no LMP_WIN_ARCH or LMP_WINE" % WINE_ENV_SCRIPT)
        os.environ["LMP_WIN_ARCH"], os.environ["LMP_WINE"] = arch, wine
    return os.environ["LMP_WIN_ARCH"], os.environ["LMP_WINE"]


def default_build_dir():
    return (os.environ.get("LMP_WIN_BUILD")
            or os.path.join(SOURCE_DIR, "build", "win-" + wine_env()[0]))


def windows_path(path):
    """A Unix path as Wine sees it on drive Z:."""
    return "Z:" + os.path.abspath(path).replace("/", "\\")


def start_x_server(command, env=None):
    """Starts an X server (Xvfb, Xephyr) on a free display number, which it names through
    -displayfd; returns (its Popen, the display, e.g. ":3")."""
    read_end, write_end = os.pipe()
    try:
        server = subprocess.Popen(command[:1] + ["-displayfd", str(write_end)] + command[1:],
                                  pass_fds=(write_end,), env=env, stdout=subprocess.DEVNULL,
                                  stderr=subprocess.DEVNULL)
        os.close(write_end)
        write_end = None
        number = b""
        while not number.endswith(b"\n"):
            chunk = os.read(read_end, 16)
            if not chunk:
                server.wait()
                raise HarnessError("%s ended before naming its display" % command[0])
            number += chunk
        return server, ":" + number.decode().strip()
    finally:
        os.close(read_end)
        if write_end is not None:
            os.close(write_end)


class Session:
    """One Xvfb display (or an existing one), one Wine prefix of its own, and every process
    started in them. Use as a context manager, or call start() and close(). screen_size is
    the size of the session's own Xvfb screen (default SCREEN_SIZE); an existing display
    keeps its own size, which it must then match. monitors, (width, height) each, gives the
    session's own display that many monitors side by side, left to right from (0, 0): a
    Xephyr inside its Xvfb with one Xinerama screen per monitor; screen_size is then the
    desktop's size."""

    def __init__(self, build_dir=None, wine=None, display=None, unmanaged=None, screen_size=None,
                 registry=(), monitors=None):
        self.build_dir = os.path.abspath(build_dir or default_build_dir())
        # (key, value name, type, data) set in the prefix before any program starts.
        self.registry = list(registry)
        self.monitors = [tuple(m) for m in monitors or ()]
        if self.monitors:
            screen_size = (sum(w for w, _ in self.monitors), max(h for _, h in self.monitors))
        self.screen_size = tuple(screen_size or SCREEN_SIZE)
        self.wine = wine or wine_env()[1]
        # Wine windows unmanaged: by default exactly when the session runs its own Xvfb.
        self.unmanaged = unmanaged
        self.display = display or os.environ.get("LMP_DISPLAY")
        self.startup_seconds = None
        self.workdir = None
        self.prefix = None
        self.env = None
        self._xvfb = None
        self._xephyr = None
        self._processes = []
        self._probe_server = None  # the long-running probe (probe serve), once started
        self._probe_buffer = b""

    # -- start and end ---------------------------------------------------------------

    def start(self):
        try:
            began = time.monotonic()
            self.workdir = tempfile.mkdtemp(prefix="lmp-e2e-")
            self.prefix = os.path.join(self.workdir, "prefix")
            if not self.display:
                self._xvfb, self.display = start_x_server(
                    ["Xvfb", "-screen", "0", "%dx%dx24" % self.screen_size, "-nolisten", "tcp"])
                if self.monitors:
                    self._start_monitors()
            # LMP_DLL_OVERRIDES adds to Wine's, e.g. d3d11=d: the viewer presents with GDI.
            overrides = ";".join(filter(None, ("mscoree,mshtml=",
                                               os.environ.get("LMP_DLL_OVERRIDES"))))
            # Mesa's software rasteriser draws the flip road's pictures on a thread per core by
            # default; on two cores, beside the game, the X server and the other tests, one
            # thread does the same work in three quarters of the CPU (measured at 1920x1080:
            # 12.3 against 17.9 ms a frame, and more frames a second).
            self.env = dict(os.environ, WINEPREFIX=self.prefix, WINEDEBUG="-all",
                            DISPLAY=self.display, WINEDLLOVERRIDES=overrides,
                            LP_NUM_THREADS=os.environ.get("LP_NUM_THREADS", "1"))
            booted = _booted_prefix(self.wine, self.env)
            subprocess.run(["cp", "-a", booted, self.prefix], check=True)
            # Our Xvfb runs no window manager. Wine's X11 driver then waits up to two seconds
            # for a manager's answer whenever it hides or destroys a managed window, which
            # makes every window switch look hung; so there windows are unmanaged.
            if self.unmanaged or (self.unmanaged is None and self._xvfb):
                self.registry.append((r"HKCU\Software\Wine\X11 Driver", "Managed", "REG_SZ", "N"))
            if self.registry:
                self.set_registry(self.registry)
            self.startup_seconds = time.monotonic() - began
            print("e2e: display %s, Wine prefix %s ready in %.1f s (%s)"
                  % (self.display, self.prefix, self.startup_seconds, self.wine), flush=True)
            return self
        except BaseException:
            self.close()
            raise

    def set_registry(self, values):
        """Sets registry values, (key, value name, type, data) each, and restarts the Wine
        server, so every program started afterwards reads them (the screen's DPI, the X11
        driver's options and the virtual desktop are read when the server starts)."""
        for key, name, kind, data in values:
            reg = subprocess.run([self.wine, "reg", "add", key, "/v", name, "/t", kind, "/d",
                                  str(data), "/f"], env=self.env, cwd=self.workdir,
                                 stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, timeout=60)
            if reg.returncode != 0:
                raise HarnessError("could not set %s\\%s" % (key, name))
        _stop_server(self.wine, self.env)

    def _start_monitors(self):
        # Xephyr shows its screens as windows on the Xvfb, and Xinerama joins them into one
        # desktop. Wine's X11 driver takes its monitors from RandR by default, which shows it
        # only Xephyr's first screen; told not to use RandR, it asks Xinerama.
        command, left = ["Xephyr", "+xinerama"], 0
        for width, height in self.monitors:
            command += ["-origin", "%d,0" % left, "-screen", "%dx%d" % (width, height)]
            left += width
        self._xephyr, self.display = start_x_server(command + ["-nolisten", "tcp"],
                                                    env=dict(os.environ, DISPLAY=self.display))
        self.registry.append((r"HKCU\Software\Wine\X11 Driver", "UseXRandR", "REG_SZ", "N"))

    def close(self):
        """Ends every process this session started, the Wine server of its prefix and its
        Xvfb, and removes the prefix. Safe to call more than once."""
        for proc in self._processes:
            if proc.poll() is None:
                proc.kill()
                try:
                    proc.wait(timeout=10)
                except subprocess.TimeoutExpired:
                    pass
        self._processes = []
        if self.env and self.prefix and os.path.isdir(self.prefix):
            _stop_server(self.wine, self.env)
        for server in (self._xephyr, self._xvfb):
            if server and server.poll() is None:
                server.terminate()
                try:
                    server.wait(timeout=10)
                except subprocess.TimeoutExpired:
                    server.kill()
                    server.wait()
        if self.workdir:
            shutil.rmtree(self.workdir, ignore_errors=True)

    def __enter__(self):
        return self.start() if self.startup_seconds is None else self

    def __exit__(self, *exc):
        self.close()

    # -- programs ----------------------------------------------------------------------

    def exe(self, relative):
        """Path of a program in the build directory, e.g. exe("demo/rpg_rt.exe")."""
        path = os.path.join(self.build_dir, relative)
        if not os.path.exists(path):
            raise HarnessError("missing %s (build the Windows targets first)" % path)
        return path

    def file(self, name):
        """A path for a scratch file of this session (removed by close())."""
        return os.path.join(self.workdir, name)

    def private_copy(self, relative, folder, name=None):
        """A copy of a program of the build in a scratch folder of its own, for a program
        that writes files beside itself (the viewer's lumenpane.log); `name` renames it."""
        folder = self.file(folder)
        os.makedirs(folder, exist_ok=True)
        path = os.path.join(folder, name or os.path.basename(relative))
        shutil.copy(self.exe(relative), path)
        return path

    def run(self, exe, args=(), env=None, cwd=None, stderr=subprocess.DEVNULL):
        """Starts a Windows program in the background, in the folder cwd (default: the
        session's folder); returns its subprocess.Popen. Its exit code (Popen.wait/poll) is
        the Windows program's exit code."""
        proc = subprocess.Popen([self.wine, exe] + [str(a) for a in args], env=dict(self.env, **(env or {})),
                                cwd=cwd or self.workdir, stdout=subprocess.PIPE, stderr=stderr)
        self._processes.append(proc)
        return proc

    def run_to_end(self, exe, args=(), env=None, timeout=60, cwd=None, errors=None):
        """Runs a Windows program to its end; returns (exit code, standard output text).
        Given a list as errors, the standard error's text is appended to it. (A file, not a
        pipe: a Wine server the program starts keeps the pipe open.)"""
        with tempfile.TemporaryFile() as err:
            proc = self.run(exe, args, env, cwd, subprocess.DEVNULL if errors is None else err)
            try:
                out, _ = proc.communicate(timeout=timeout)
            except subprocess.TimeoutExpired:
                proc.kill()
                proc.communicate()
                raise HarnessError("%s %s did not end within %s s" % (exe, list(args), timeout))
            if errors is not None:
                err.seek(0)
                errors.append(err.read().decode("latin-1"))
        return proc.returncode, out.decode("latin-1")

    def wait_exit(self, proc, timeout=10):
        """Waits for a started program to end; returns its exit code."""
        try:
            return proc.wait(timeout=timeout)
        except subprocess.TimeoutExpired:
            raise HarnessError("process %d still running after %s s" % (proc.pid, timeout))

    # -- the probe ------------------------------------------------------------------------

    @staticmethod
    def _probe_repeatable(args):
        """Whether a probe command may run again when it is not known to have run: all but
        a whole key press and the commands on message boxes and crashes."""
        command = [str(a) for a in args]
        return not (command[0] in ("crash", "msgbox-show", "msgbox-ok")
                    or command[0] == "key" and command[-1] == "press")

    # Looks that change nothing and make no window, asked of one long-running probe: a
    # program started under Wine for each took several times the CPU of the look itself.
    # Everything else runs in a probe of its own, as a key press from a fresh program does.
    SERVED = ("list", "find", "grab")

    def _served(self, args, timeout):
        """(exit code, output, "") of a look from the long-running probe; None where it cannot
        answer (another command, a word it cannot carry, the probe gone or silent)."""
        if args[0] not in self.SERVED or not all(a.isascii() and a.isprintable() for a in args):
            return None
        server = self._probe_server
        if server is None or server.poll() is not None:
            server = subprocess.Popen([self.wine, self.exe("tests/lmp_probe.exe"), "serve"],
                                      env=self.env, cwd=self.workdir, stdin=subprocess.PIPE,
                                      stdout=subprocess.PIPE, stderr=subprocess.DEVNULL)
            self._processes.append(server)
            self._probe_server, self._probe_buffer = server, b""
        lines, deadline = [], time.monotonic() + timeout
        try:
            server.stdin.write(("\t".join(args) + "\n").encode("ascii"))
            server.stdin.flush()
            while True:
                while b"\n" not in self._probe_buffer:
                    left = deadline - time.monotonic()
                    if left <= 0 or not select.select([server.stdout], [], [], left)[0]:
                        raise OSError("no answer")
                    chunk = os.read(server.stdout.fileno(), 1 << 16)
                    if not chunk:
                        raise OSError("ended")
                    self._probe_buffer += chunk
                line, self._probe_buffer = self._probe_buffer.split(b"\n", 1)
                if line.startswith(b'{"served": '):
                    return json.loads(line)["served"], "\n".join(lines), ""
                lines.append(line.decode("latin-1"))
        except (OSError, ValueError):
            self._end_probe_server()
            return None  # the look goes again in a probe of its own

    def _end_probe_server(self):
        if self._probe_server:
            self._probe_server.kill()
            self._probe_server = None

    def _probe_alone(self, args, timeout):
        """(exit code, output, standard error) of lmp_probe.exe run for this command alone."""
        for attempt in range(3):
            errors = []
            rc, out = self.run_to_end(self.exe("tests/lmp_probe.exe"), args,
                                      timeout=timeout, errors=errors)
            # Every end of the probe's own prints a line first. A failure without one is
            # Wine not running it at all (twice in three full runs, exit code 1); then the
            # command goes again where that is harmless.
            if rc == 0 or out.strip() or not self._probe_repeatable(args):
                break
            print("e2e: probe %s ended with %d and printed nothing; Wine said: %r"
                  % (args, rc, errors[0][-300:]), file=sys.stderr, flush=True)
        return rc, out, errors[0]

    def probe(self, *args, check=True, timeout=60):
        """Runs lmp_probe.exe with the arguments; returns its JSON lines as dicts. With
        check, a non-zero exit raises HarnessError."""
        args = [str(a) for a in args]
        if args[0] == "display-mode":
            self._end_probe_server()  # a fresh probe for the looks at the new screen
        rc, out, errors = self._served(args, timeout) or self._probe_alone(args, timeout)
        lines = [json.loads(line) for line in out.splitlines() if line.strip()]
        if check and rc != 0:
            raise HarnessError("probe %s failed (%d): %s %r" % (args, rc, lines, errors[-300:]))
        return lines

    def windows(self):
        """All top-level windows: dicts with hwnd, class, caption, rect [l, t, r, b],
        client [w, h], style, exstyle, visible, minimized, topmost, pid."""
        return self.probe("list")

    def find_window(self, cls=None, caption=None):
        found = self.probe("find", cls or "-", caption or "-", check=False)
        return found[0] if found and "hwnd" in found[0] else None

    def wait_window(self, cls=None, caption=None, timeout=15):
        found = self.probe("wait", cls or "-", caption or "-", int(timeout * 1000), check=False)
        if not found or "hwnd" not in found[0]:
            raise HarnessError("no window class=%r caption=%r within %s s" % (cls, caption, timeout))
        return found[0]

    def window(self, hwnd):
        """The current state of one top-level window, or None when it is gone."""
        return next((w for w in self.windows() if w["hwnd"] == hwnd), None)

    def wait_window_gone(self, hwnd, timeout=10):
        wait_until(lambda: self.window(hwnd) is None, timeout, "window %d to go" % hwnd)

    def children(self, hwnd):
        return self.probe("children", hwnd)

    def press_key(self, vk):
        self.probe("key", vk, "press")

    def key_down(self, vk):
        self.probe("key", vk, "down")

    def key_up(self, vk):
        self.probe("key", vk, "up")

    def tap(self, vk, front=None, hold=0.3):
        """A key held long enough for several of the viewer's frame steps to see it, then
        released. The window `front` (by default the first game window, if any) gets the
        foreground first, as the game has while the player plays: the viewer reads its hot
        keys only while the game or the viewer is in front, and the F5 it presses for the
        game on a filter change goes to the foreground window."""
        if front is None:
            game = self.find_window(GAME_CLASS)
            front = game["hwnd"] if game else None
        if front is not None:
            self.set_foreground(front)
        self.key_down(vk)
        time.sleep(hold)  # the key held down through several of the viewer's frame steps
        self.key_up(vk)

    def set_foreground(self, hwnd):
        """Gives hwnd the foreground; returns the foreground window afterwards."""
        return self.probe("foreground", hwnd)[0]["foreground"]

    def close_window(self, hwnd):
        """Presses the window's close button: posts WM_SYSCOMMAND SC_CLOSE."""
        self.probe("close", hwnd)

    def send_close(self, hwnd):
        """Posts WM_CLOSE to the window, as the viewer does to the game."""
        self.probe("message", hwnd, "WM_CLOSE")

    def move_window(self, hwnd, x, y):
        return self.probe("move", hwnd, x, y)[0]

    def set_style(self, hwnd, style, exstyle):
        """Sets both window styles and lets the frame follow; returns the new state."""
        return self.probe("style", hwnd, style, exstyle)[0]

    def maximize(self, hwnd):
        self.probe("maximize", hwnd)  # the maximise button: WM_SYSCOMMAND SC_MAXIMIZE

    def pointer(self, *commands):
        """Pointer events through the X server: xdotool's commands ("mousemove", X, Y ...)."""
        subprocess.run(["xdotool", *map(str, commands)], env=self.env, check=True, timeout=30)

    def minimize(self, hwnd):
        return self.probe("minimize", hwnd)[0]

    def restore(self, hwnd):
        return self.probe("restore", hwnd)[0]

    def message_boxes(self):
        """Visible message boxes: dicts with hwnd, caption, text, pid."""
        return self.probe("msgbox")

    def press_ok(self, hwnd):
        self.probe("msgbox-ok", hwnd)

    def grab(self, x, y, width, height):
        """Screen pixels of a rectangle as an Image."""
        path = self.file("grab-%d.raw" % time.monotonic_ns())
        self.probe("grab", x, y, width, height, path)
        try:
            return read_raw(path, width, height)
        finally:
            os.remove(path)

    def screenshot(self, png_path):
        """Writes the whole screen to a PNG file; returns the Image."""
        image = self.grab(0, 0, *self.screen_size)
        write_png(png_path, image)
        return image

    def process_info(self, pid):
        """priorityClass, privateBytes, threads, gdiObjects, userObjects, d3d11 (loaded) of a Windows process
        (by Windows PID, as in window dicts). None where the platform gives no number."""
        return self.probe("process", pid)[0]

    # -- the viewer ------------------------------------------------------------------------

    def find_viewer(self, title=GAME_TITLE):
        """The viewer window of the game with this title as it is now, or None. The viewer
        makes its window anew when it reopens its surface, so callers look it up each time."""
        return self.find_window(viewer_class(title), title)

    def wait_viewer(self, title=GAME_TITLE, timeout=10):
        return self.wait_window(viewer_class(title), title, timeout=timeout)

    def viewer_full_screen(self, window):
        """The viewer window lies over the whole screen, on top of the others."""
        return (window["visible"] and window["topmost"]
                and window["rect"] == [0, 0, self.screen_size[0], self.screen_size[1]])

    @staticmethod
    def viewer_windowed(window):
        """The viewer window shows the frame 1:1 in its client area, not on top."""
        return (window["visible"] and not window["topmost"]
                and window["client"] == list(VIEWER_FRAME_SIZE))

    def grab_viewer_frame(self, window):
        """The frame in the client area of the windowed viewer, from the screen."""
        return self.grab(*viewer_client_origin(window), *VIEWER_FRAME_SIZE)

    def wait_viewer_state(self, predicate, what, title=GAME_TITLE, timeout=15):
        """Waits until the viewer window exists and predicate(window) holds; returns it."""
        def matches():
            window = self.find_viewer(title)
            return window if window and predicate(window) else None
        return wait_until(matches, timeout, what)

    def wait_viewer_mode(self, full_screen, title=GAME_TITLE, timeout=15, what=None):
        """Waits until the viewer is over the whole screen (full_screen) or in its window;
        returns the window."""
        return self.wait_viewer_state(
            self.viewer_full_screen if full_screen else self.viewer_windowed,
            what or "the viewer %s" % ("over the whole screen" if full_screen else "in its window"),
            title, timeout)

    # -- the stand-in game ----------------------------------------------------------------

    def start_game(self, title=None, frozen=False, dump=False, size=None, pos=None,
                   fullscreen=False, args=("NormalPlay", "ShowTitle", "Window"), wait=True,
                   hang=None, started=None):
        """Starts demo/rpg_rt.exe with the options as its environment and, with wait,
        waits for its window. Returns a Game. The game's process is added to the list
        `started` as soon as it runs, so a caller's clean-up ends it also when the wait
        fails."""
        game = Game(self, self.file("game-%d.log" % time.monotonic_ns()))
        env = {"LMP_DEMO_LOG": windows_path(game.log_path)}
        if title is not None:
            env["LMP_DEMO_TITLE"] = title
        if frozen:
            env["LMP_DEMO_FREEZE"] = "1"
        if dump:
            game.dump_path = self.file("frame-%d.raw" % time.monotonic_ns())
            env["LMP_DEMO_DUMP"] = windows_path(game.dump_path)
        if size:
            env["LMP_DEMO_SIZE"] = size
        if pos:
            env["LMP_DEMO_POS"] = "%d,%d" % pos
        if fullscreen:
            env["LMP_DEMO_FULLSCREEN"] = "1"
        if hang:
            env["LMP_DEMO_HANG_SECONDS"] = str(hang)
        caption = GAME_TITLE if title is None else title
        before = {w["hwnd"] for w in self.windows() if w["class"] == GAME_CLASS} if wait else ()
        game.proc = self.run(self.exe("demo/rpg_rt.exe"), args, env)
        if started is not None:
            started.append(game.proc)
        if wait:
            # The new game's window, not one of a game that was already running.
            def new_window():
                return next((w for w in self.windows() if w["class"] == GAME_CLASS
                             and w["caption"] == caption and w["hwnd"] not in before), None)
            game.window = wait_until(new_window, 15, "the game window")
        return game


def _stop_server(wine, env):
    server = os.path.join(os.path.dirname(wine), "wineserver")
    if not os.path.exists(server):
        server = "wineserver"
    for flag in ("-k", "-w"):
        try:
            subprocess.run([server, flag], env=env, timeout=30,
                           stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        except (OSError, subprocess.TimeoutExpired):
            pass


_booted = {}  # Wine loader: the prefix it booted in this run


def _booted_prefix(wine, env):
    """A Wine prefix that `wine` booted once in this run (removed at its end), its server
    ended. Each session starts on a copy of its own: no file or Wine server is shared.
    A boot that fails is tried again in a new folder: wineboot now and then exits with an
    error (seen once, code 53, while another session booted beside it)."""
    if wine not in _booted:
        for attempt in range(3):
            folder = tempfile.mkdtemp(prefix="lmp-e2e-boot-")
            atexit.register(shutil.rmtree, folder, True)
            boot_env = dict(env, WINEPREFIX=os.path.join(folder, "prefix"))
            # Its errors to a file: the Wine server it starts would hold a pipe open.
            with open(os.path.join(folder, "wineboot.log"), "w+b") as said:
                boot = subprocess.run([wine, "wineboot", "-u"], env=boot_env, cwd=folder,
                                      stdout=subprocess.DEVNULL, stderr=said, timeout=180)
                # Wine's Direct3D runs its commands on a thread of its own that spins while
                # it waits for more: a core of two. Without it the flip road costs a third
                # less of the CPU under the software rasteriser.
                if boot.returncode == 0:
                    subprocess.run([wine, "reg", "add", r"HKCU\Software\Wine\Direct3D", "/v",
                                    "csmt", "/t", "REG_DWORD", "/d", "0", "/f"], env=boot_env,
                                   cwd=folder, stdout=subprocess.DEVNULL, stderr=said,
                                   timeout=60)
                _stop_server(wine, boot_env)
                said.seek(0)
                lines = said.read().decode(errors="replace").strip().splitlines()[-3:]
            if boot.returncode == 0:
                _booted[wine] = boot_env["WINEPREFIX"]
                break
            print("e2e: wineboot failed with %d (try %d of 3): %s"
                  % (boot.returncode, attempt + 1, " | ".join(lines)), file=sys.stderr)
        else:
            raise HarnessError("wineboot failed with %d" % boot.returncode)
    return _booted[wine]


class Game:
    """A started stand-in game: proc (Popen), window (its dict once found), log_path,
    dump_path (its frozen frame, when asked for)."""

    def __init__(self, session, log_path):
        self.session, self.log_path = session, log_path
        self.proc, self.window, self.dump_path = None, None, None

    @property
    def hwnd(self):
        return self.window["hwnd"]

    def refresh(self):
        """Reads the window's current state (None when gone)."""
        self.window = self.session.window(self.hwnd) or self.window
        return self.window

    def render_window(self):
        """The first child of the main window (the one the viewer prints)."""
        return self.session.children(self.hwnd)[0]

    def log(self):
        """The game's log as a list of lines."""
        return read_lines(self.log_path)

    def frozen_frame(self, timeout=10):
        """The frame the game dumped (start_game with dump), once all of it is written."""
        def complete():
            try:
                return read_raw(self.dump_path, *GAME_FROZEN_FRAME_SIZE)
            except (OSError, HarnessError):
                return None
        return wait_until(complete, timeout, "the game's whole frame dump")


def read_lines(path):
    """The lines of a log file a program writes (none while it has written no file)."""
    if not os.path.exists(path):
        return []
    with open(path, encoding="latin-1") as f:
        return f.read().splitlines()


def viewer_log(viewer_exe):
    """The lines of lumenpane.log, which the viewer writes beside its program file."""
    return read_lines(os.path.join(os.path.dirname(viewer_exe), "lumenpane.log"))


def kill_running(processes):
    """Ends the started processes that still run (a test's clean-up)."""
    for proc in processes:
        if proc.poll() is None:
            proc.kill()
            proc.wait()


def poll(observe, timeout, interval=0.1):
    """Calls observe() until it returns a true value or `timeout` seconds have passed, and
    returns its last value: true, or false from an observation that began after the timeout.
    Every wait on observable state in the end-to-end tests goes through here."""
    deadline = time.monotonic() + timeout
    while True:
        value = observe()
        if value or time.monotonic() > deadline:
            return value
        time.sleep(interval)  # the pause between two observations


def wait_until(predicate, timeout, what="condition", interval=0.1):
    """Polls predicate until it returns a true value (returned); raises HarnessError when
    the timeout passes first."""
    value = poll(predicate, timeout, interval)
    if not value:
        raise HarnessError("timed out after %s s waiting for %s" % (timeout, what))
    return value


def within(since, seconds, predicate, what, timeout=15, interval=0.05):
    """Waits until predicate() holds, which it must within `seconds` of `since` (a
    time.monotonic() value); returns the predicate's value. Each observation is a program
    run, slow on a loaded machine, so what fails is an observation that began later than
    that and still found it false (HarnessError naming how late); an observation that
    began in time may finish after it."""
    late = []

    def observe():
        began = time.monotonic() - since
        value = predicate()
        if not value and began > seconds:
            late.append(began)
        return value
    value = poll(observe, timeout, interval)
    if late:
        raise HarnessError("%s: not yet %.2f s after the start, allowed %.2f s"
                           % (what, late[0], seconds))
    if not value:
        raise HarnessError("timed out after %s s waiting for %s" % (timeout, what))
    return value


def holds_for(predicate, seconds, interval=0.1):
    """True when predicate() holds at every observation for `seconds` (the last one begins
    after they passed), False as soon as one finds it false: a state that must not change."""
    return not poll(lambda: not predicate(), seconds, interval)


# ---------------------------------------------------------------------------------------
# One session shared by all test modules of a run: one Xvfb and one prefix per run.

_shared = None


def shared_session():
    """The run's session, started on first use and closed at the end of the run."""
    global _shared
    if _shared is None:
        _shared = Session().start()
        atexit.register(close_shared_session)
    return _shared


def close_shared_session():
    global _shared
    if _shared is not None:
        _shared.close()
        _shared = None

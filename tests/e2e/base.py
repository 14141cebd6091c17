"""The base of the end-to-end tests that run programs in a Wine session: the session, a
scratch folder of each test's own with private copies of the programs, the stand-in game and
the viewer started there, and at the end every program ended and its windows waited out.
Standard library only; see README.md in this folder."""

import os
import sys
import time
import unittest

import harness
from harness import GAME_CLASS, GAME_TITLE, VIEWER_CLASS_PREFIX


class Programs:
    """The programs one test (or one test class) starts, and a scratch folder of their own
    for private copies of the build's programs: the viewer writes lumenpane.log and reads
    lumenpane.ini beside itself, so runs side by side never share them."""

    def __init__(self, session, name):
        self.s = session
        self.name = "%s-%d" % (name, time.monotonic_ns())
        self.folder = session.file(self.name)
        os.makedirs(self.folder)
        self.procs = []
        self.games = []
        self._viewer_exe = None

    def path(self, name):
        """A path inside this folder."""
        return os.path.join(self.folder, name)

    def copy(self, relative, name=None):
        """A copy of a program of the build in this folder, under its own name or `name`."""
        return self.s.private_copy(relative, self.name, name)

    @property
    def viewer_exe(self):
        """This folder's copy of lumenpane.exe, made on first use."""
        if self._viewer_exe is None:
            self._viewer_exe = self.copy("src/lumenpane.exe")
        return self._viewer_exe

    def viewer_log(self):
        """The lines of the lumenpane.log beside this folder's viewer."""
        return harness.viewer_log(self.viewer_exe)

    def run(self, exe, args=(), env=None, cwd=None):
        """Session.run, the program ended by end()."""
        proc = self.s.run(exe, args, env, cwd)
        self.procs.append(proc)
        return proc

    def start_game(self, **options):
        """Session.start_game, the game ended by end()."""
        game = self.s.start_game(started=self.procs, **options)
        self.games.append(game)
        return game

    def start_viewer(self, exe=None, env=None, title=GAME_TITLE, wait=True, timeout=20):
        """Starts the viewer (this folder's copy, or the program `exe` that runs it) and,
        with wait, waits for its window; returns its Popen."""
        proc = self.run(exe or self.viewer_exe, env=env)
        if wait:
            self.s.wait_viewer(title, timeout=timeout)
        return proc

    def end(self, leftovers=True):
        """Ends what was started here and waits until no viewer window is left. With
        leftovers (no program outside holds a game open) every game window still there,
        also one that a started program started, first gets WM_CLOSE, as a player closes a
        game (a viewer on it then ends by itself), and no game window may be left either.
        Whatever still runs after a few seconds is killed, the last started first."""
        started, self.procs = self.procs, []
        if not started and not leftovers:
            return

        def left(games):
            """The viewer windows, and with games the game windows, still there."""
            return [w for w in self.s.windows() if w["class"].startswith(VIEWER_CLASS_PREFIX)
                    or games and w["class"] == GAME_CLASS]
        if leftovers:
            closing = [w for w in left(True) if w["class"] == GAME_CLASS]
            for window in closing:
                self.s.send_close(window["hwnd"])
            if closing:
                harness.poll(lambda: not left(True), 5)
        harness.kill_running(reversed(started))
        harness.wait_until(lambda: not left(leftovers), 15,
                           "no viewer%s window left" % (" or game" if leftovers else ""))


class E2ETest(unittest.TestCase):
    """A test class on the run's shared session, or on a session of its own with a screen
    of its size (screen_size), registry values (registry) or monitors (monitors). Each test
    has self.programs (a Programs of its own, ended after the test); programs that live
    through all tests of the class are started in start_class() with cls.for_class (ended
    after the class). Every test begins on a desktop with no game or viewer window of an
    earlier test."""

    screen_size = None  # (width, height) of a screen of the class's own
    registry = ()  # registry values of a session of the class's own: Session(registry=...)
    monitors = None  # monitor sizes of a session of the class's own: Session(monitors=...)

    @classmethod
    def own_session(cls):
        return bool(cls.screen_size or cls.registry or cls.monitors)

    @classmethod
    def setUpClass(cls):
        if cls.own_session():
            if os.environ.get("LMP_DISPLAY"):
                raise unittest.SkipTest("needs a screen of its own, not LMP_DISPLAY")
            cls.s = harness.Session(screen_size=cls.screen_size, registry=cls.registry,
                                    monitors=cls.monitors).start()
        else:
            cls.s = harness.shared_session()
        try:
            cls.for_class = Programs(cls.s, cls.__name__)
            cls.start_class()
        except BaseException:
            cls._end_class()
            raise

    @classmethod
    def start_class(cls):
        """Starts what the tests of the class share (with cls.for_class); none by default."""

    @classmethod
    def tearDownClass(cls):
        cls._end_class()

    @classmethod
    def _end_class(cls):
        try:
            if getattr(cls, "for_class", None):
                cls.for_class.end()
        finally:
            if cls.own_session():
                cls.s.close()

    def setUp(self):
        self.programs = Programs(self.s, self._testMethodName)
        self.addCleanup(self.programs.end, leftovers=not self.for_class.procs)
        self.addCleanup(self._report_if_failed)  # runs first, while the programs still run

    def _report_if_failed(self):
        """After a failure: the windows on the desktop and the end of every log in the
        test's folder, which is all a failure far away leaves to go on."""
        result = getattr(getattr(self, "_outcome", None), "result", None)
        failed = getattr(result, "errors", []) + getattr(result, "failures", [])
        if not any(test is self for test, _ in failed):
            return
        lines = ["", "--- after the failure of %s" % self._testMethodName]
        try:
            for w in self.s.windows():
                lines.append("window %(class)s %(caption)r rect %(rect)s client %(client)s "
                             "visible %(visible)s topmost %(topmost)s" % w)
        except Exception as error:  # the report must not hide the failure itself
            lines.append("no window list: %s" % error)
        logs = [self.programs.path(name) for name in sorted(os.listdir(self.programs.folder))
                if name.endswith(".log")] + [game.log_path for game in self.programs.games]
        for path in logs:
            tail = harness.read_lines(path)[-40:]
            lines += ["--- %s, last %d lines" % (os.path.basename(path), len(tail))] + tail
        print("\n".join(lines), file=sys.stderr)

    # -- starting: the test's own programs -------------------------------------------------

    @property
    def viewer_exe(self):
        return self.programs.viewer_exe

    def viewer_log(self):
        return self.programs.viewer_log()

    def start_game(self, **options):
        return self.programs.start_game(**options)

    def start_viewer(self, exe=None, env=None, title=GAME_TITLE, wait=True, timeout=20):
        return self.programs.start_viewer(exe, env, title, wait, timeout)

    def run_program(self, exe, args=(), env=None, cwd=None):
        return self.programs.run(exe, args, env, cwd)

    # -- closing: the ordinary ways, each with the exit codes it must give -----------------

    def close_game(self, game, viewer=None, timeout=15, viewer_timeout=None):
        """WM_CLOSE to the game, as the viewer sends it: the game ends with exit code 0, and
        so does the viewer (when given) once its game has gone, within viewer_timeout
        seconds (default: timeout)."""
        self.s.send_close(game.hwnd)
        self.assertEqual(self.s.wait_exit(game.proc, timeout), 0, "the game's exit code")
        if viewer is not None:
            self.assertEqual(self.s.wait_exit(viewer, viewer_timeout or timeout), 0,
                             "the viewer ends with the game, with exit code 0")

    def close_viewer(self, game, viewer, timeout=15):
        """The viewer's close button: it closes the game, which ends with exit code 0, and
        then ends with exit code 0 itself."""
        self.s.close_window(self.s.wait_viewer()["hwnd"])
        self.assertEqual(self.s.wait_exit(game.proc, timeout), 0, "the game's exit code")
        self.assertEqual(self.s.wait_exit(viewer, timeout), 0, "the viewer's exit code")

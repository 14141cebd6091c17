#!/usr/bin/env python3
"""Runs every end-to-end test module (tests/e2e/test_*.py) against a Windows build under
Wine, in one shared session (one X display, one Wine prefix), and ends everything it
started, also on failure or Ctrl+C. The last line is "N passed, N failed, N skipped"; the
exit code is non-zero when any test failed. The Wine loader and the build's architecture
are LMP_WINE and LMP_WIN_ARCH as scripts/wine-env.sh exports them; started without them,
run.py sources that script to get them.

usage: run.py [BUILD_DIR] [-k PATTERN] [-x PATTERN]   (BUILD_DIR overrides LMP_WIN_BUILD)
"""

import argparse
import os
import signal
import sys
import time
import unittest

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, HERE)

import harness  # noqa: E402


def _end_on_signal(signum, frame):
    raise KeyboardInterrupt


def main():
    parser = argparse.ArgumentParser(description="end-to-end tests under Wine")
    parser.add_argument("build_dir", nargs="?", help="Windows build directory")
    parser.add_argument("-k", dest="pattern", help="run only tests whose name contains this")
    parser.add_argument("-x", dest="exclude", help="leave out tests whose name contains this")
    options = parser.parse_args()
    if options.build_dir:
        os.environ["LMP_WIN_BUILD"] = os.path.abspath(options.build_dir)
    signal.signal(signal.SIGTERM, _end_on_signal)
    harness.wine_env()  # exported for every program started from here

    suite = unittest.defaultTestLoader.discover(HERE, pattern="test_*.py", top_level_dir=HERE)
    if options.pattern:
        suite = unittest.TestSuite(t for t in _flatten(suite) if options.pattern in t.id())
    if options.exclude:
        suite = unittest.TestSuite(t for t in _flatten(suite) if options.exclude not in t.id())
    result = TimedResult(unittest.runner._WritelnDecorator(sys.stderr), True, 2)
    interrupted = False
    try:
        suite.run(result)
    except KeyboardInterrupt:
        print("interrupted", file=sys.stderr)
        interrupted = True
    finally:
        harness.close_shared_session()
    result.printErrors()
    result.print_slowest(10)
    failed = len(_failed_tests(result)) + interrupted
    passed = max(0, result.testsRun - failed - len(result.skipped))
    line = "%d passed, %d failed" % (passed, failed)
    if result.skipped:
        line += ", %d skipped" % len(result.skipped)
    print(line, flush=True)
    return 1 if failed or result.testsRun == 0 else 0


class TimedResult(unittest.TextTestResult):
    """Also notes how long each test took, set-up and clean-up included."""

    def __init__(self, *args):
        super().__init__(*args)
        self.took = []

    def startTest(self, test):
        self._began = time.monotonic()
        super().startTest(test)

    def stopTest(self, test):
        super().stopTest(test)
        self.took.append((time.monotonic() - self._began, test.id()))

    def print_slowest(self, count):
        slowest = sorted(self.took, reverse=True)[:count]
        if slowest:
            print("slowest: " + ", ".join("%s %.0f s" % (name.split(".")[-1], seconds)
                                          for seconds, name in slowest), flush=True)


def _failed_tests(result):
    """Names of the tests that failed; a test with several failed subtests counts once."""
    names = set()
    for test, _ in result.failures + result.errors:
        names.add(getattr(test, "test_case", test).id())
    names.update(t.id() for t in result.unexpectedSuccesses)
    return names


def _flatten(suite):
    for item in suite:
        if isinstance(item, unittest.TestSuite):
            yield from _flatten(item)
        else:
            yield item


if __name__ == "__main__":
    sys.exit(main())

#!/usr/bin/env python3
"""Starts the stand-in game under Wine and writes a screenshot of the screen to a PNG file,
for looking at the game by eye.

usage: screenshot.py OUT.png [BUILD_DIR] [single|double] [live]
"""

import os
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

import harness  # noqa: E402


def main(argv):
    if len(argv) < 2:
        print(__doc__.strip(), file=sys.stderr)
        return 2
    size = argv[3] if len(argv) > 3 else "double"
    with harness.Session(build_dir=argv[2] if len(argv) > 2 else None) as session:
        game = session.start_game(frozen="live" not in argv, size=size)
        session.set_foreground(game.hwnd)
        # The picture lies 2 pixels inside the render window's frame.
        left, top, right, bottom = session.children(game.hwnd)[0]["rect"]
        harness.wait_until(
            lambda: session.grab(left + 2, top + 2, right - left - 4, bottom - top - 4).colours() > 50,
            10, "the game's picture on the screen")
        session.screenshot(argv[1])
        session.send_close(game.hwnd)
        session.wait_exit(game.proc)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))

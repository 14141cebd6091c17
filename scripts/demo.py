#!/usr/bin/env python3
"""Plays the stand-in game with Lumenpane under Wine, the way a player would, and leaves
screenshots of what the viewer shows.

usage: demo.py BUILD_DIR OUT_DIR

The stand-in game (as rpg_rt.exe), lumenpane.exe, lmp_game_starter.exe and a configuration
that selects Scale2x go into one folder; the starter is started there. Then the script
presses the viewer's hot keys and takes a screenshot after each step. It uses the current
X display when DISPLAY is set, otherwise a virtual one.
"""

import os
import shutil
import sys
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests", "e2e"))

import harness  # noqa: E402

OVERLAY_SECONDS = 3.0


def game_folder(session, out_dir):
    folder = os.path.join(out_dir, "game")
    shutil.rmtree(folder, ignore_errors=True)
    os.makedirs(folder)
    shutil.copy(session.exe("demo/rpg_rt.exe"), os.path.join(folder, "rpg_rt.exe"))
    shutil.copy(session.exe("src/lumenpane.exe"), folder)
    shutil.copy(session.exe("src/lmp_game_starter.exe"), folder)
    with open(os.path.join(folder, "lmp_game_starter.cfg"), "w") as cfg:
        cfg.write("1\n")  # one F8 press: Scale2x
    return folder


def shot(session, out_dir, name, what):
    path = os.path.join(out_dir, name + ".png")
    session.screenshot(path)
    print(f"  {path}: {what}")


def main(argv):
    if len(argv) != 3:
        print(__doc__.strip(), file=sys.stderr)
        return 2
    build_dir, out_dir = os.path.abspath(argv[1]), os.path.abspath(argv[2])
    os.makedirs(out_dir, exist_ok=True)
    display = os.environ.get("LMP_DISPLAY") or os.environ.get("DISPLAY")
    with harness.Session(build_dir=build_dir, display=display) as session:
        print(f"Wine ready in {session.startup_seconds:.1f} s on display {session.display}")
        folder = game_folder(session, out_dir)
        starter = session.run(os.path.join(folder, "lmp_game_starter.exe"))
        game = session.wait_window(harness.GAME_CLASS, None, timeout=30)
        title = game["caption"]
        session.wait_viewer(title, timeout=30)
        print(f"starter exit code {session.wait_exit(starter, timeout=30)} (0: filter selected)")
        time.sleep(1.0)  # the viewer goes full screen one second after it starts

        print("screenshots:")
        shot(session, out_dir, "1-scale2x-overlay", "full screen, Scale2x chosen by the starter")
        time.sleep(OVERLAY_SECONDS + 0.5)
        shot(session, out_dir, "2-scale2x", "Scale2x, overlay gone")
        session.press_key(harness.VK_F8)
        time.sleep(0.5)
        shot(session, out_dir, "3-hq2x-overlay", "F8: hq2x")
        time.sleep(OVERLAY_SECONDS)
        shot(session, out_dir, "4-hq2x", "hq2x, overlay gone")
        session.press_key(harness.VK_F8)
        time.sleep(1.0)
        shot(session, out_dir, "5-off-overlay", "F8: Off, the game's own doubled picture")
        session.press_key(harness.VK_F7)
        time.sleep(OVERLAY_SECONDS + 1.0)
        shot(session, out_dir, "6-off-fps", "F7: frames-per-second counter")
        session.press_key(harness.VK_F6)
        time.sleep(1.0)
        shot(session, out_dir, "7-windowed", "F6: back to a window")

        viewer = session.find_viewer(title)
        if viewer:
            session.close_window(viewer["hwnd"])  # asks the game to close; the viewer follows
            session.wait_window_gone(viewer["hwnd"], timeout=15)
        print("game and viewer closed")
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))

#!/usr/bin/env python3
"""Plays the stand-in game with Lumenpane under Wine, the way a player would, and leaves
screenshots of what the viewer shows.

usage: demo.py BUILD_DIR OUT_DIR

The stand-in game (as rpg_rt.exe), lumenpane.exe, lmp_game_starter.exe, a configuration
that selects Scale2x and the package's lumenpane.ini go into one folder; the starter is
started there. Then the script presses the viewer's hot keys and takes a screenshot after
each step. A second round on the game frozen on one frame, with fit=aspect in
lumenpane.ini, leaves the full screen keeping the picture's shape and a comparison of one
small region of the picture in each filter (filters.png). It uses the current X display
when DISPLAY is set, otherwise a virtual 16:9 one (1280x720).
"""

import os
import shutil
import subprocess
import sys
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests", "e2e"))

import harness  # noqa: E402

OVERLAY_SECONDS = 3.0
VIRTUAL_SCREEN = (1280, 720)
# The house's roof and the hero of the frozen frame, in the viewer's 640x480 frame.
REGION = (44, 188, 128, 192)
ENLARGE = 3


def game_folder(session, out_dir):
    folder = os.path.join(out_dir, "game")
    shutil.rmtree(folder, ignore_errors=True)
    os.makedirs(folder)
    shutil.copy(session.exe("demo/rpg_rt.exe"), os.path.join(folder, "rpg_rt.exe"))
    shutil.copy(session.exe("src/lumenpane.exe"), folder)
    shutil.copy(session.exe("src/lmp_game_starter.exe"), folder)
    shutil.copy(os.path.join(harness.SOURCE_DIR, "packaging", "lumenpane.ini"), folder)
    with open(os.path.join(folder, "lmp_game_starter.cfg"), "w") as cfg:
        cfg.write("1\n")  # one F8 press: Scale2x
    return folder


def shot(session, out_dir, name, what):
    path = os.path.join(out_dir, name + ".png")
    session.screenshot(path)
    print(f"  {path}: {what}")


def start_viewer(session, folder, env=None):
    """Starts the starter in the game folder; returns the game's title once the starter is
    done and the viewer has gone full screen."""
    starter = session.run(os.path.join(folder, "lmp_game_starter.exe"), env=env)
    game = session.wait_window(harness.GAME_CLASS, None, timeout=30)
    title = game["caption"]
    session.wait_viewer(title, timeout=30)
    print(f"starter exit code {session.wait_exit(starter, timeout=30)} (0: filter selected)")
    time.sleep(1.0)  # the viewer goes full screen one second after it starts
    viewer = session.wait_viewer(title)
    # On a display of the caller's the screen's size is the full-screen viewer's.
    if viewer["rect"][:2] == [0, 0]:
        session.screen_size = tuple(viewer["rect"][2:])
    return title


def close_viewer(session, title):
    viewer = session.find_viewer(title)
    if viewer:
        session.close_window(viewer["hwnd"])  # asks the game to close; the viewer follows
        session.wait_window_gone(viewer["hwnd"], timeout=15)


def filter_comparison(frames, out_dir):
    """One small region of the same frame in each filter, enlarged so its pixels show, with
    the filter's name under it: out_dir/filters.png."""
    x, y, w, h = REGION
    args = ["montage", "-font", "DejaVu-Sans", "-pointsize", "26", "-fill", "white",
            "-background", "#1c1c24"]
    for name, frame in frames:
        path = os.path.join(out_dir, "frame-%s.png" % name.lower())
        harness.write_png(path, frame.crop(x, y, w, h))
        args += ["-label", name, path]
    target = os.path.join(out_dir, "filters.png")
    args += ["-tile", "%dx1" % len(frames), "-filter", "point",
             "-geometry", "%dx%d+14+10" % (w * ENLARGE, h * ENLARGE), target]
    subprocess.run(args, check=True)
    for name, _ in frames:
        os.remove(os.path.join(out_dir, "frame-%s.png" % name.lower()))
    print(f"  {target}: one region in Off, Scale2x and hq2x, {ENLARGE}x the viewer's frame")


def main(argv):
    if len(argv) != 3:
        print(__doc__.strip(), file=sys.stderr)
        return 2
    build_dir, out_dir = os.path.abspath(argv[1]), os.path.abspath(argv[2])
    os.makedirs(out_dir, exist_ok=True)
    display = os.environ.get("LMP_DISPLAY") or os.environ.get("DISPLAY")
    with harness.Session(build_dir=build_dir, display=display,
                         screen_size=VIRTUAL_SCREEN) as session:
        print(f"Wine ready in {session.startup_seconds:.1f} s on display {session.display}")
        folder = game_folder(session, out_dir)
        title = start_viewer(session, folder)

        print("screenshots:")
        shot(session, out_dir, "1-scale2x-overlay", "full screen, Scale2x chosen by the starter")
        time.sleep(OVERLAY_SECONDS + 0.5)
        shot(session, out_dir, "2-scale2x", "Scale2x, overlay gone (fit=stretch)")
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
        close_viewer(session, title)
        print("game and viewer closed")

        # Second round: the picture keeping its shape, and the filters side by side on one
        # frozen frame.
        with open(os.path.join(folder, "lumenpane.ini"), "w", newline="\r\n") as ini:
            ini.write("; the 4:3 picture as large as it fits, black bars beside it\n"
                      "[display]\nfit=aspect\n")
        title = start_viewer(session, folder, env={"LMP_DEMO_FREEZE": "1"})
        time.sleep(OVERLAY_SECONDS + 0.5)
        shot(session, out_dir, "8-scale2x-aspect",
             "Scale2x with fit=aspect in lumenpane.ini (compare 2-scale2x)")
        session.tap(harness.VK_F6)
        session.wait_viewer_mode(False, title)
        frames = {}
        for name in ("Scale2x", "hq2x", "Off"):
            time.sleep(OVERLAY_SECONDS + 0.5)  # the filter's name over the picture is gone
            frames[name] = session.grab_viewer_frame(session.wait_viewer(title))
            session.tap(harness.VK_F8)
        filter_comparison([(n, frames[n]) for n in ("Off", "Scale2x", "hq2x")], out_dir)
        close_viewer(session, title)
        print("game and viewer closed")
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))

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
when DISPLAY is set, otherwise a virtual 16:9 one (1280x720). A third round, only on
virtual displays, starts one of 1920x1080 and leaves the same region at 2.25x with
scaling=nearest and with scaling=sharp side by side (sharp.png); a fourth, on the same, the
framed window with window=1 and with window=2 side by side (windows.png).
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
# The hero before the door at 2.25x: the frame's (104, 296, 56, 84) on a 1920x1080 screen
# with fit=aspect, where the picture is 1440x1080 at (240, 0).
SHARP_SCREEN = (1920, 1080)
SHARP_REGION = (474, 666, 126, 189)
SHARP_ENLARGE = 4


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


def side_by_side(pictures, target, enlarge=None):
    """Pictures (name, Image) side by side, each with its name under it, written to target:
    of one size, enlarged so their pixels show, or as they are, aligned at the top."""
    folder = os.path.dirname(target)
    w, h = pictures[0][1].width, pictures[0][1].height
    args = ["montage", "-font", "DejaVu-Sans", "-pointsize", "26", "-fill", "white",
            "-background", "#1c1c24"]
    paths = []
    for name, picture in pictures:
        paths.append(os.path.join(folder, "part-%s.png" % name.lower()))
        harness.write_png(paths[-1], picture)
        args += ["-label", name, paths[-1]]
    size = "%dx%d" % (w * enlarge, h * enlarge) if enlarge else ""
    args += ["-tile", "%dx1" % len(pictures), "-filter", "point", "-geometry", size + "+14+10",
             target]
    subprocess.run(args, check=True)
    for path in paths:
        os.remove(path)


def filter_comparison(frames, out_dir):
    """One small region of the same frame in each filter, enlarged so its pixels show, with
    the filter's name under it: out_dir/filters.png."""
    target = os.path.join(out_dir, "filters.png")
    side_by_side([(name, frame.crop(*REGION)) for name, frame in frames], target, ENLARGE)
    print(f"  {target}: one region in Off, Scale2x and hq2x, {ENLARGE}x the viewer's frame")


def sharp_comparison(build_dir, folder, out_dir):
    """Third round, on a 1920x1080 screen of its own: the frozen game in Off with fit=aspect
    (2.25x), once with scaling=nearest and once with scaling=sharp; the same small region of
    the screen from both side by side, named: out_dir/sharp.png."""
    with harness.Session(build_dir=build_dir, screen_size=SHARP_SCREEN) as session:
        print(f"Wine ready in {session.startup_seconds:.1f} s on a {SHARP_SCREEN[0]}x"
              f"{SHARP_SCREEN[1]} display {session.display}")
        with open(os.path.join(folder, "lmp_game_starter.cfg"), "w") as cfg:
            cfg.write("0\n")  # no F8 press: Off, the game's own doubled picture
        grabs = []
        for scaling in ("nearest", "sharp"):
            with open(os.path.join(folder, "lumenpane.ini"), "w", newline="\r\n") as ini:
                ini.write("[display]\nfit=aspect\nscaling=%s\n" % scaling)
            title = start_viewer(session, folder, env={"LMP_DEMO_FREEZE": "1"})
            time.sleep(OVERLAY_SECONDS + 0.5)  # the filter's name over the picture is gone
            grabs.append((scaling, session.grab(*SHARP_REGION)))
            close_viewer(session, title)
        target = os.path.join(out_dir, "sharp.png")
        side_by_side(grabs, target, SHARP_ENLARGE)
        print(f"  {target}: one region of the screen at 2.25x with scaling=nearest and "
              f"scaling=sharp, {SHARP_ENLARGE}x the screen's pixels")


def window_comparison(build_dir, folder, out_dir):
    """Fourth round, on a 1920x1080 screen of its own: the frozen game in Off in the framed
    window with window=1 and with window=2, each cut from the screen with its frame, side by
    side: out_dir/windows.png."""
    with harness.Session(build_dir=build_dir, screen_size=SHARP_SCREEN) as session:
        grabs = []
        for window in ("1", "2"):
            with open(os.path.join(folder, "lumenpane.ini"), "w", newline="\r\n") as ini:
                ini.write("[display]\nwindow=%s\n" % window)
            title = start_viewer(session, folder, env={"LMP_DEMO_FREEZE": "1"})
            session.tap(harness.VK_F6)
            time.sleep(OVERLAY_SECONDS + 0.5)  # the filter's name over the picture is gone
            left, top, right, bottom = session.wait_viewer_state(
                lambda w: not w["topmost"], "the viewer in its window", title)["rect"]
            grabs.append(("window=" + window, session.grab(left, top, right - left, bottom - top)))
            close_viewer(session, title)
        target = os.path.join(out_dir, "windows.png")
        side_by_side(grabs, target)
        print(f"  {target}: the framed window with window=1 and window=2, as on the screen")


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

    # Third and fourth rounds: nearest and sharp scaling of the same frame at 2.25x, and
    # windows of two sizes.
    if display:
        print("sharp.png, windows.png: skipped, they need a 1920x1080 virtual display of their "
              "own (run without DISPLAY)")
    else:
        sharp_comparison(build_dir, folder, out_dir)
        window_comparison(build_dir, folder, out_dir)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))

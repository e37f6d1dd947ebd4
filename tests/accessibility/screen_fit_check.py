"""The window on the screens technicians have, with a window manager.

For each screen (a 1366 x 768 laptop; 1920 x 1080 at 150 %), starts a
virtual display, openbox on it and tallisk, waits for the window manager to
frame the window, checks that the frame lies inside the screen's work area
(the window manager's _NET_WORKAREA) and saves a screenshot of the whole
screen. Exit status 0 passes, 1 fails, 77 when a tool is missing.
Usage: screen_fit_check.py TALLISK SCREEN_GRAB SHOT_DIR
"""

import os
import re
import shutil
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import atspi_form_check as harness  # noqa: E402

SKIP = 77
WAIT_S = 20
SCREENS = [("1366x768", "1", "laptop-1366x768"), ("1920x1080", "1.5", "full-hd-150-percent")]


def wait_for(predicate, seconds=WAIT_S):
    end = time.monotonic() + seconds
    while time.monotonic() < end:
        value = predicate()
        if value:
            return value
        time.sleep(0.1)
    return None


def output(command, env):
    result = subprocess.run(command, env=env, capture_output=True, text=True)
    return result.stdout if result.returncode == 0 else ""


def start(command, env, started, **kwargs):
    process = subprocess.Popen(command, env=env, start_new_session=True, **kwargs)
    started.append(process)
    return process


def work_area(env):
    found = re.search(r"= (\d+), (\d+), (\d+), (\d+)", output(["xprop", "-root", "_NET_WORKAREA"], env))
    return tuple(int(v) for v in found.groups()) if found else None


def geometry_of(window, env):
    """x, y, width and height of a window on the root."""
    text = output(["xwininfo", "-id", window], env)
    values = []
    for key in ("Absolute upper-left X", "Absolute upper-left Y", "Width", "Height"):
        found = re.search(r"^\s*%s:\s+(-?\d+)" % key, text, re.M)
        if not found:
            return None
        values.append(int(found.group(1)))
    return tuple(values)


def frame_of(window, env):
    """The frame openbox put the window in: the window's parent, once it has
    reparented the window into one."""
    tree = output(["xwininfo", "-tree", "-id", window], env)
    parent = re.search(r"Parent window id: (0x[0-9a-f]+)", tree)
    root = re.search(r"Root window id: (0x[0-9a-f]+)", tree)
    if not parent or not root or parent.group(1) == root.group(1):
        return None
    return geometry_of(parent.group(1), env)


def check_screen(tallisk, grab, shots, size, scale, name, started):
    display = harness.start_display(started, subprocess.DEVNULL, size)
    if display is None:
        print("skipped: Xvfb did not start")
        return SKIP
    home = tempfile.mkdtemp(prefix="tallisk-screen-")
    env = dict(os.environ, DISPLAY=display, HOME=home, XDG_CONFIG_HOME=home + "/config",
               XDG_RUNTIME_DIR=home)
    env.pop("WAYLAND_DISPLAY", None)
    start(["openbox", "--sm-disable"], env, started, stdout=subprocess.DEVNULL,
          stderr=subprocess.DEVNULL)
    if not wait_for(lambda: work_area(env)):
        print("FAIL: openbox set no work area on %s" % size)
        return 1
    app_env = dict(env, QT_QPA_PLATFORM="xcb", QT_SCALE_FACTOR=scale)
    app = start([tallisk], app_env, started, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    window = wait_for(lambda: output(["xdotool", "search", "--onlyvisible", "--pid",
                                      str(app.pid)], env).split()[:1])
    if not window:
        print("FAIL: no window of tallisk on %s" % size)
        return 1
    frame = wait_for(lambda: frame_of(window[0], env))
    if frame is None:
        print("FAIL: openbox never framed the window on %s" % size)
        return 1
    time.sleep(2)  # the window settles where it is placed and draws
    frame = frame_of(window[0], env)
    area = work_area(env)
    shot = os.path.join(shots, "screen-%s.png" % name)
    subprocess.run([grab, shot], env=dict(env, QT_QPA_PLATFORM="xcb"), check=False)
    x, y, w, h = frame
    ax, ay, aw, ah = area
    inside = x >= ax and y >= ay and x + w <= ax + aw and y + h <= ay + ah
    print("%s at %s%%: frame %dx%d at %d,%d, work area %dx%d at %d,%d: %s (%s)"
          % (size, float(scale) * 100, w, h, x, y, aw, ah, ax, ay,
             "inside" if inside else "NOT inside", shot))
    harness.stop(started)
    return 0 if inside else 1


def main():
    tallisk, grab, shots = sys.argv[1:]
    for tool in ("Xvfb", "openbox", "xdotool", "xwininfo", "xprop"):
        if shutil.which(tool) is None:
            print("skipped: no %s" % tool)
            return SKIP
    os.makedirs(shots, exist_ok=True)
    started = []
    status = 0
    try:
        for size, scale, name in SCREENS:
            result = check_screen(tallisk, grab, shots, size, scale, name, started)
            if result == SKIP:
                return SKIP
            status = status or result
    finally:
        harness.stop(started)
    return status


if __name__ == "__main__":
    sys.exit(main())

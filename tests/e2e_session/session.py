#!/usr/bin/env python3
"""One session of the program as a person uses it, then a second run that finds it restored.

Opens a folder of pictures through the directory list, pages down, enlarges a picture, runs a
1-second slide show to its end, saves the settings and the folder, quits through the
confirmation, starts again and loads the saved folder. Screenshots go to <work>/shots.

usage: session.py ZORVANE WORK   (under an X server, e.g. xvfb-run -a)
"""
import os
import re
import shutil
import struct
import subprocess
import sys
import time
from pathlib import Path

BROWSER = "Ｚｏｒｖａｎｅ　ver.101"
VIEW = "View Form"
SLIDE_SHOW = "Ａｕｔｏ　Ｖｉｅｗ　の設定"
CLIENT_HEIGHT = 294  # the browser window's client area, below its menu bar
SAVED_AT = (120, 90)  # where the person drags the browser window

# Solid colours of the pictures, in name order; pane 1 shows the first one.
COLOURS = [(220, 30, 30), (30, 160, 30), (30, 30, 220), (220, 220, 30), (220, 30, 220),
           (30, 200, 200), (240, 140, 20), (120, 60, 20), (250, 250, 250), (90, 90, 90),
           (150, 100, 230), (20, 90, 60), (0, 0, 0)]


class Failure(Exception):
    pass


def write_bmp(path, width, height, colour):
    r, g, b = colour
    stride = (width * 3 + 3) & ~3
    row = bytes([b, g, r]) * width + b"\0" * (stride - width * 3)
    pixels = row * height
    header = struct.pack("<2sIHHI", b"BM", 54 + len(pixels), 0, 0, 54)
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 24, 0, len(pixels), 2835, 2835, 0, 0)
    path.write_bytes(header + info + pixels)


def xdo(*args):
    return subprocess.run(["xdotool", *map(str, args)], check=False, capture_output=True,
                          text=True).stdout.strip()


def wait_for(what, predicate, seconds=15.0):
    deadline = time.monotonic() + seconds
    while time.monotonic() < deadline:
        value = predicate()
        if value:
            return value
        time.sleep(0.1)
    raise Failure(f"timed out waiting for {what}")


def visible_window(name):
    ids = xdo("search", "--onlyvisible", "--name", "^" + re.escape(name) + "$").split()
    return ids[-1] if ids else None


def geometry(window):
    out = xdo("getwindowgeometry", "--shell", window)
    values = dict(line.split("=", 1) for line in out.splitlines() if "=" in line)
    return int(values["X"]), int(values["Y"]), int(values["WIDTH"]), int(values["HEIGHT"])


def click(x, y, repeat=1):
    xdo("mousemove", "--sync", x, y)
    xdo("click", "--repeat", repeat, "--delay", 80, 1)
    time.sleep(0.3)


def keys(window, *names):
    xdo("windowfocus", "--sync", window)
    for name in names:
        xdo("key", "--clearmodifiers", name)
        time.sleep(0.3)


def expect_pixel(point, colour, what):
    """Waits for the screen to show `colour` at `point`: a slow machine paints late."""
    try:
        wait_for(what, lambda: pixel(*point) == colour, 10)
    except Failure:
        raise Failure(f"{what}: {pixel(*point)} instead of {colour}")


def pixel(x, y):
    out = subprocess.run(["import", "-window", "root", "-crop", f"1x1+{x}+{y}", "-depth", "8",
                          "txt:-"],
                         check=True, capture_output=True, text=True).stdout
    match = re.search(r"\((\d+),(\d+),(\d+)", out.splitlines()[-1])
    return tuple(int(v) for v in match.groups())


class Session:
    def __init__(self, program, work):
        self.program = program
        self.work = work
        self.shots = work / "shots"
        self.process = None
        self.step = 0

    def shot(self, label):
        self.step += 1
        if shutil.which("import"):
            subprocess.run(["import", "-window", "root",
                            str(self.shots / f"{self.step:02d}-{label}.png")], check=False)

    def start(self):
        env = dict(os.environ, XDG_CONFIG_HOME=str(self.work / "config"))
        self.process = subprocess.Popen([self.program], cwd=self.work / "home", env=env)
        self.browser = wait_for("the browser window", lambda: visible_window(BROWSER))
        time.sleep(1.0)  # the splash window gives way
        x, y, width, height = geometry(self.browser)
        self.client = (x, y + height - CLIENT_HEIGHT)

    def at(self, cx, cy):
        """Screen point of a client point of the browser window."""
        return self.client[0] + cx, self.client[1] + cy

    def quit(self):
        keys(self.browser, "alt+f", "e")
        self.shot("quit-confirmation")
        box = wait_for("the confirmation", lambda: visible_window("確認"))
        keys(box, "Return")
        try:
            self.process.wait(timeout=10)
        except subprocess.TimeoutExpired:
            raise Failure("the program did not end after the confirmation")

    def hive(self):
        path = self.work / "config" / "zorvane" / "registry-HKCU.txt"
        return path.read_text(encoding="utf-8", errors="replace") if path.exists() else ""


def first_run(s, pictures):
    s.start()
    s.shot("first-start")
    # The directory list has the focus: its last entry is the only subfolder, the pictures.
    keys(s.browser, "End", "Return")
    expect_pixel(s.at(171, 32), COLOURS[0], "pane 1 shows the first picture")
    s.shot("folder-opened")

    # Page down: a click into the scroll bar below its thumb.
    click(*s.at(448, 200))
    expect_pixel(s.at(171, 32), COLOURS[12], "the second page begins with the thirteenth picture")
    s.shot("paged-down")

    # Enlarge the thumbnail by a double-click.
    click(*s.at(171, 32), repeat=2)
    view = wait_for("the view window", lambda: visible_window(VIEW))
    vx, vy, _, _ = geometry(view)
    expect_pixel((vx + 5, vy + 5), COLOURS[12], "the view window shows the picture")
    s.shot("enlarged")

    # A 1-second slide show from the current file: the page shows the last entry, so the show
    # loads it, and one second later closes the view window.
    click(*s.at(364, 248))  # "スライド ショー"
    dialog = wait_for("the slide show dialog", lambda: visible_window(SLIDE_SHOW))
    s.shot("slide-show-dialog")
    dx, dy, _, _ = geometry(dialog)
    click(dx + 216 + 37, dy + 40 + 12)  # "View start"
    started = time.monotonic()
    wait_for("the show to close the view window", lambda: not visible_window(VIEW), 10)
    elapsed = time.monotonic() - started
    s.shot("slide-show-ended")
    if elapsed < 1.5:
        raise Failure(f"the show ended after {elapsed:.1f} s, before its two ticks")

    # New slide show settings: an interval of 3 s and loop on, then "キャンセル".
    click(*s.at(364, 248))
    dialog = wait_for("the slide show dialog", lambda: visible_window(SLIDE_SHOW))
    dx, dy, _, _ = geometry(dialog)
    click(dx + 24 + 10, dy + 24 + 10)  # into the spin edit
    keys(dialog, "ctrl+a", "3")
    click(dx + 200 + 10, dy + 80 + 8)  # "ループ"
    s.shot("slide-show-settings")
    click(dx + 215 + 37, dy + 8 + 12)  # "キャンセル"
    wait_for("the dialog to close", lambda: not visible_window(SLIDE_SHOW), 5)

    # The filter box's second entry, the bitmaps alone.
    click(*s.at(200, 266))
    keys(s.browser, "Down", "Return")
    s.shot("filter-chosen")

    # The browser window dragged elsewhere; settings and the folder saved.
    xdo("windowmove", "--sync", s.browser, *SAVED_AT)
    time.sleep(0.5)
    keys(s.browser, "alt+e", "s")
    keys(s.browser, "alt+e", "d", "Return")
    s.shot("saved")
    hive = s.hive()
    for expected in ('"x"=dword:%08x' % SAVED_AT[0], '"y"=dword:%08x' % SAVED_AT[1],
                     '"spin"=dword:00000003', '"ch"=dword:00000001', '"ra"=dword:00000000',
                     '"filter"=dword:00000001', f'"DIR1"=sz:"{pictures}"'):
        if expected not in hive:
            raise Failure(f"{expected} is not in the settings:\n{hive}")
    s.quit()


def second_run(s, pictures):
    s.start()
    s.shot("restarted")
    x, y, _, _ = geometry(s.browser)
    if (x, y) != SAVED_AT:
        raise Failure(f"the window opened at {(x, y)}, not at {SAVED_AT}")
    # The load submenu holds the saved folder; choosing it fills the page.
    keys(s.browser, "alt+e", "l")
    s.shot("load-submenu")
    keys(s.browser, "Return")
    expect_pixel(s.at(171, 32), COLOURS[0], "the saved folder's first picture is in pane 1")
    s.shot("saved-folder-loaded")
    # The slide show dialog from the menu, with the saved interval and loop box.
    keys(s.browser, "alt+e", "v")
    dialog = wait_for("the slide show dialog", lambda: visible_window(SLIDE_SHOW))
    s.shot("slide-show-settings-restored")
    keys(dialog, "Return")  # "キャンセル", the default button
    wait_for("the dialog to close", lambda: not visible_window(SLIDE_SHOW), 5)
    s.quit()


def main():
    program, work = Path(sys.argv[1]), Path(sys.argv[2])
    shutil.rmtree(work, ignore_errors=True)
    pictures = work / "home" / "pictures"
    pictures.mkdir(parents=True)
    (work / "shots").mkdir()
    for index, colour in enumerate(COLOURS):
        write_bmp(pictures / f"pic{index + 1:02d}.bmp", 40 + index, 30 + index, colour)
    session = Session(program, work)
    try:
        first_run(session, pictures)
        second_run(session, pictures)
    except Failure as failure:
        session.shot("failure")
        print(f"FAILED: {failure}", file=sys.stderr)
        return 1
    finally:
        if session.process and session.process.poll() is None:
            session.process.kill()
    print(f"session passed; screenshots in {session.shots}")
    return 0


if __name__ == "__main__":
    sys.exit(main())

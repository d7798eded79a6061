#!/usr/bin/python3
"""The window as a screen reader reads it over AT-SPI: a frame named by its
title, and every control named by the text a sighted user reads beside it.

Run in a D-Bus session of its own: dbus-run-session -- atspi_window_names.py
TREETEST. It starts Xvfb on a free display and the program on it.
"""
import os
import subprocess
import sys
import time

import pyatspi

CONTROLS = (pyatspi.ROLE_PUSH_BUTTON, pyatspi.ROLE_TEXT, pyatspi.ROLE_ENTRY,
            pyatspi.ROLE_SCROLL_BAR, pyatspi.ROLE_CHECK_BOX, pyatspi.ROLE_COMBO_BOX)
BOXES = {
    "Enter an array of integer numbers in the Textbox separated by a comma each "
    "of them (Example: 1, 2, 3)",
    "Number to Search:",
    "Enter the number to Erase:",
}


def start_display():
    read, write = os.pipe()
    xvfb = subprocess.Popen(["Xvfb", "-displayfd", str(write), "-screen", "0",
                             "1280x800x24", "-nolisten", "tcp"], pass_fds=(write,))
    os.close(write)
    with os.fdopen(read) as number:
        return xvfb, ":" + number.readline().strip()


def find_frame(deadline):
    while time.time() < deadline:
        desktop = pyatspi.Registry.getDesktop(0)
        for i in range(desktop.childCount):
            app = desktop.getChildAtIndex(i)
            if app is None or "treetest" not in (app.name or ""):
                continue
            for k in range(app.childCount):
                window = app.getChildAtIndex(k)
                if window is not None and window.name.startswith("Tree Test"):
                    return window
        time.sleep(0.5)
    return None


def controls(node, depth=0):
    if node is None or depth > 12:
        return
    if node.getRole() in CONTROLS:
        yield node
    for i in range(node.childCount):
        yield from controls(node.getChildAtIndex(i), depth + 1)


def main():
    xvfb, display = start_display()
    env = dict(os.environ, DISPLAY=display, QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1",
               QT_QPA_PLATFORM="xcb")
    program = subprocess.Popen([sys.argv[1]], env=env)
    problems = []
    try:
        window = find_frame(time.time() + 60)
        if window is None:
            print("no treetest window found over AT-SPI", file=sys.stderr)
            return 1
        if window.getRoleName() != "frame":
            problems.append("the window is a '%s', not a frame" % window.getRoleName())
        names = set()
        for control in controls(window):
            names.add(control.name)
            if not control.name:
                problems.append("a %s without a name" % control.getRoleName())
        for box in BOXES - names:
            problems.append("no text box named '%s'" % box)
    finally:
        program.terminate()
        program.wait()
        xvfb.terminate()
        xvfb.wait()
    for problem in problems:
        print(problem, file=sys.stderr)
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())

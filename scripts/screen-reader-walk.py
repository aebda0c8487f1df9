#!/usr/bin/python3
"""Reads the program as a screen reader does, through AT-SPI.

Started by screen-reader-walk.sh on a virtual screen with a session bus of
its own: starts a window manager (keyboard focus needs one), the
accessibility bus and the program with a test, shows the results window,
prints the accessible tree, then presses keys in the outlet grid and clicks
its cells, and prints every object that reports getting the focus.

    screen-reader-walk.py PROGRAM TESTFILE
"""
import os
import subprocess
import sys
import time

import pyatspi
from gi.repository import GLib

# From the Elevation field into the grid, through its cells, out again, and
# back by a click on a cell (outlet and column counted from 0).
GRID_STEPS = ["Tab", "End", "Right", "Right", "Down", "Home", "Left", "Up", "Return", "Return",
              "Tab", ("click", 2, 4), ("click", 0, 2)]


def describe(acc):
    text = f"[{acc.getRoleName()}] {acc.name!r}"
    if acc.description:
        text += f" description={acc.description!r}"
    return text


def application(pid, tries=50):
    for _ in range(tries):
        for app in pyatspi.Registry.getDesktop(0):
            if app is not None and app.get_process_id() == pid:
                return app
        time.sleep(0.2)
    sys.exit("the program did not appear on the accessibility bus")


def walk(acc, depth=0):
    print("  " * depth + describe(acc))
    if acc.getRoleName() == "menu bar":  # its menus are Qt's own
        return
    for child in acc:
        if child is not None:
            walk(child, depth + 1)


def find(acc, predicate):
    if predicate(acc):
        return acc
    for child in acc:
        found = find(child, predicate) if child is not None else None
        if found is not None:
            return found
    return None


def window_of(app, name, tries=50):
    for _ in range(tries):
        for window in app:
            if window is not None and window.name == name:
                return window
        time.sleep(0.2)
    sys.exit(f"no window {name!r}")


def key(name):
    subprocess.run(["xdotool", "key", name], check=True)


def click_cell(table, row, column):
    cell = table.queryTable().getAccessibleAt(row, column)
    x, y, width, height = cell.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
    subprocess.run(["xdotool", "mousemove", str(x + width // 2), str(y + height // 2), "click",
                    "1"], check=True)


def print_focus_events(window, start_name, grid_steps):
    """Gives the focus to the text field start_name, takes the steps (keys
    or clicks on grid cells) one at a time and prints each object that
    reports getting the focus."""
    start = find(window, lambda a: a.name == start_name and a.getRoleName() == "text")
    grid = find(window, lambda a: a.getRoleName() == "table")
    if start is None or grid is None:
        sys.exit(f"no text field {start_name!r} or no grid")

    def on_focus(event):
        if event.detail1 == 1:
            print("focus:", describe(event.source))

    steps = [lambda: start.queryComponent().grabFocus()]
    for step in grid_steps:
        steps.append(lambda step=step: print("step:", step))
        if isinstance(step, tuple):
            steps.append(lambda step=step: click_cell(grid, *step[1:]))
        else:
            steps.append(lambda step=step: key(step))

    def next_step():
        if steps:
            steps.pop(0)()
            return True
        pyatspi.Registry.stop()
        return False

    pyatspi.Registry.registerEventListener(on_focus, "object:state-changed:focused")
    GLib.timeout_add(300, next_step)
    pyatspi.Registry.start()


def main():
    program, test_file = sys.argv[1:3]
    quiet = {"stdout": subprocess.DEVNULL, "stderr": subprocess.DEVNULL}
    started = [subprocess.Popen(["openbox"], **quiet),
               subprocess.Popen(["/usr/libexec/at-spi-bus-launcher", "--launch-immediately"])]
    time.sleep(1)
    env = dict(os.environ, QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1", QT_QPA_PLATFORM="xcb")
    os.makedirs(env["APPDATA"], exist_ok=True)
    flow_test = subprocess.Popen([program, test_file], env=env)
    started.append(flow_test)
    try:
        app = application(flow_test.pid)
        main_window = app[0]  # the results window is not shown yet
        main_window.queryComponent().grabFocus()
        time.sleep(0.5)
        key("F6")
        window_of(app, "Flow Test Results")
        print("== accessible tree")
        walk(app)
        print("== focus events")
        print_focus_events(main_window, "Elevation", GRID_STEPS)
    finally:
        for process in reversed(started):
            process.terminate()
            process.wait()


main()

#!/usr/bin/python3
# End-to-end: the real lentaro read by a real AT-SPI2 client (pyatspi), on a private Xvfb under
# openbox, inside its own session bus (run under dbus-run-session). The accessibility bus comes up
# first and the request for the tree (org.a11y.Status IsEnabled) is made while the program runs;
# keys go in through XTest. Usage: dbus-run-session -- /usr/bin/python3 atspi_e2e.py LENTARO
import ctypes
import os
import signal
import subprocess
import sys
import time

import pyatspi
from gi.repository import GLib

LENTARO = sys.argv[1] if len(sys.argv) > 1 else ""
failures = []
processes = []
# The launcher keeps IsEnabled in the desktop's settings: in memory only, so no run leaves it set.
LAUNCHER_ENV = {"GSETTINGS_BACKEND": "memory"}


def check(condition, what):
    print(("ok   " if condition else "FAIL ") + what, flush=True)
    if not condition:
        failures.append(what)
    return condition


def start(argv, env=None, **kwargs):
    process = subprocess.Popen(argv, env=dict(os.environ, **(env or {})), **kwargs)
    processes.append(process)
    return process


def wait_until(condition, seconds=10.0):
    end = time.monotonic() + seconds
    while time.monotonic() < end:
        # Let pyatspi take the events queued on its connection.
        while GLib.MainContext.default().iteration(False):
            pass
        try:
            if condition():
                return True
        except Exception:  # the tree may change under the question
            pass
        time.sleep(0.05)
    return False


class XTest:
    """Moves the pointer and types through XTest on the test's own X connection."""

    def __init__(self, display):
        self.x11 = ctypes.CDLL("libX11.so.6")
        self.xtst = ctypes.CDLL("libXtst.so.6")
        self.x11.XOpenDisplay.restype = ctypes.c_void_p
        self.x11.XOpenDisplay.argtypes = [ctypes.c_char_p]
        self.x11.XKeysymToKeycode.argtypes = [ctypes.c_void_p, ctypes.c_ulong]
        self.x11.XStringToKeysym.restype = ctypes.c_ulong
        self.x11.XStringToKeysym.argtypes = [ctypes.c_char_p]
        self.x11.XFlush.argtypes = [ctypes.c_void_p]
        self.xtst.XTestFakeKeyEvent.argtypes = [ctypes.c_void_p, ctypes.c_uint, ctypes.c_int, ctypes.c_ulong]
        self.xtst.XTestFakeMotionEvent.argtypes = [ctypes.c_void_p, ctypes.c_int, ctypes.c_int, ctypes.c_int,
                                                   ctypes.c_ulong]
        self.xtst.XTestFakeButtonEvent.argtypes = [ctypes.c_void_p, ctypes.c_uint, ctypes.c_int, ctypes.c_ulong]
        self.display = self.x11.XOpenDisplay(display.encode())
        if not self.display:
            raise RuntimeError("cannot open " + display)

    def move(self, x, y):
        self.xtst.XTestFakeMotionEvent(self.display, -1, x, y, 0)
        self.x11.XFlush(self.display)

    def click(self, x, y, button):
        self.move(x, y)
        time.sleep(0.1)
        for down in (1, 0):
            self.xtst.XTestFakeButtonEvent(self.display, button, down, 0)
            self.x11.XFlush(self.display)

    def keys(self, *names):
        for name in names:
            code = self.x11.XKeysymToKeycode(self.display, self.x11.XStringToKeysym(name.encode()))
            self.xtst.XTestFakeKeyEvent(self.display, code, 1, 0)
            self.xtst.XTestFakeKeyEvent(self.display, code, 0, 0)
            self.x11.XFlush(self.display)
            time.sleep(0.05)


def start_xvfb():
    read_end, write_end = os.pipe()
    start(["Xvfb", "-displayfd", str(write_end), "-noreset", "-nolisten", "tcp", "-screen", "0", "1024x768x24"],
          pass_fds=(write_end,), stderr=subprocess.DEVNULL)
    os.close(write_end)
    number = b""
    while not number.endswith(b"\n"):
        chunk = os.read(read_end, 16)
        if not chunk:
            raise RuntimeError("Xvfb did not start")
        number += chunk
    os.close(read_end)
    return ":" + number.decode().strip()


def set_status(name, value):
    subprocess.run(["dbus-send", "--session", "--dest=org.a11y.Bus", "--print-reply", "/org/a11y/bus",
                    "org.freedesktop.DBus.Properties.Set", "string:org.a11y.Status", "string:" + name,
                    "variant:boolean:" + ("true" if value else "false")],
                   check=True, stdout=subprocess.DEVNULL)


def find_application():
    desktop = pyatspi.Registry.getDesktop(0)
    for app in desktop:
        if app is not None and app.name == "Lentaro":
            return app
    return None


def by_name(node, role, name):
    return pyatspi.findDescendant(node, lambda n: n.getRoleName() == role and n.name == name)


def run():
    display = start_xvfb()
    os.environ["DISPLAY"] = display
    xtest = XTest(display)
    xtest.move(300, 400)
    start(["openbox", "--sm-disable"], stderr=subprocess.DEVNULL)
    time.sleep(0.5)
    start(["/usr/libexec/at-spi-bus-launcher", "--launch-immediately"], LAUNCHER_ENV, stderr=subprocess.DEVNULL)
    bus_up = wait_until(lambda: subprocess.run(["xprop", "-root", "AT_SPI_BUS"], capture_output=True,
                                               text=True).stdout.count("=") > 0)
    check(bus_up, "the accessibility bus is announced on the root window")

    lentaro = start([LENTARO], stderr=subprocess.PIPE, text=True)
    time.sleep(1.0)
    check(find_application() is None, "without a request for the tree the program is not on the bus")
    set_status("IsEnabled", True)
    check(wait_until(lambda: find_application() is not None), "the application \"Lentaro\" appears once asked for")
    app = find_application()
    if app is None:
        return lentaro

    frame = app[0]
    check(frame.getRoleName() == "frame" and frame.name == "Lentaro", "its frame is \"Lentaro\"")
    power = by_name(frame, "spin button", "Zoom Power")
    cross = by_name(frame, "spin button", "Crosshair Size")
    exit_button = by_name(frame, "push button", "Exit")
    view = by_name(frame, "image", "Magnified view")
    label = by_name(frame, "label", "Zoom Power:")
    for node, what in ((power, "Zoom Power"), (cross, "Crosshair Size"), (exit_button, "Exit"),
                       (view, "Magnified view"), (label, "the label Zoom Power:")):
        check(node is not None, what + " is in the tree with its role")
    if None in (power, cross, exit_button, view, label):
        return lentaro

    value = power.queryValue()
    check((value.currentValue, value.minimumValue, value.maximumValue, value.minimumIncrement) == (200, 0, 1000, 1),
          "Zoom Power's value is 200 in 0..1000 by 1 (%g in %g..%g by %g)" %
          (value.currentValue, value.minimumValue, value.maximumValue, value.minimumIncrement))
    text = power.queryText()
    check(text.getText(0, -1) == "200%", "Zoom Power's text is \"200%%\" (%r)" % text.getText(0, -1))
    relations = {r.getRelationType(): r.getTarget(0) for r in power.getRelationSet()}
    check(relations.get(pyatspi.RELATION_LABELLED_BY) == label, "Zoom Power is labelled by its label")
    check(exit_button.queryAction().getName(0) == "click", "Exit offers the action \"click\"")
    extents = exit_button.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
    check(extents.width > 0 and extents.height > 0, "Exit has extents on the screen")
    hit = frame.queryComponent().getAccessibleAtPoint(extents.x + extents.width // 2,
                                                      extents.y + extents.height // 2, pyatspi.DESKTOP_COORDS)
    check(hit == exit_button, "a hit test in Exit's middle finds Exit")
    check(frame.getChildAtIndex(999) is None, "a child index out of range gives nothing")

    events = []
    listener = lambda event: events.append((event.type, event.source_name, event.detail1))
    pyatspi.Registry.registerEventListener(listener, "object:state-changed:focused", "object:text-changed",
                                           "object:text-caret-moved", "object:property-change:accessible-value")
    check(wait_until(lambda: power.getState().contains(pyatspi.STATE_FOCUSED)), "the focus is in Zoom Power")
    # The whole "200%" is selected: Backspace removes the digits, the new ones go in before the "%".
    xtest.keys("BackSpace", "3", "0", "0", "Tab")
    check(wait_until(lambda: power.queryValue().currentValue == 300), "typing 300 and Tab gives the value 300")
    check(wait_until(lambda: cross.getState().contains(pyatspi.STATE_FOCUSED)), "Tab moved the focus on")
    wait_until(lambda: ("object:state-changed:focused", "Crosshair Size", 1) in events, 3)
    kinds = {kind for kind, _, _ in events}
    check(("object:state-changed:focused", "Crosshair Size", 1) in events, "the focus change is announced")
    check(any(k.startswith("object:text-changed:insert") for k in kinds), "typing is announced as text inserted")
    check("object:text-caret-moved" in kinds, "caret moves are announced")

    editable = cross.queryEditableText()
    before = cross.queryText().getText(0, -1)
    editable.setTextContents("abc")
    time.sleep(0.3)
    check(cross.queryText().getText(0, -1) == before, "text that typing refuses is refused (%r)" % before)
    editable.setTextContents("25")
    check(wait_until(lambda: cross.queryValue().currentValue == 25), "text typing accepts sets the value")

    # The pop-up menu while it is open: a popup of the program's with its items; Escape closes it.
    view_box = view.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
    xtest.click(view_box.x + view_box.width // 2, view_box.y + view_box.height // 2, 3)

    def popup():
        return next((child for child in find_application() if child.getRoleName() == "popup menu"), None)

    check(wait_until(lambda: popup() is not None), "the open pop-up menu is a popup menu of the application")
    menu = popup()
    if menu is not None:
        items = [(item.getRoleName(), item.name, item.getState().contains(pyatspi.STATE_HAS_POPUP)) for item in menu]
        check(items == [("menu item", "Crosshair", True), ("menu item", "Crosshair Color", True)],
              "its items are the two submenus (%r)" % items)
    xtest.keys("Escape")
    check(wait_until(lambda: popup() is None), "Escape closes it and it leaves the tree")

    # No client wanting the tree stops the bridge; a new request starts it again.
    set_status("IsEnabled", False)
    check(wait_until(lambda: find_application() is None), "the program leaves the bus when no client wants it")
    set_status("IsEnabled", True)
    check(wait_until(lambda: find_application() is not None), "and comes back when one asks again")
    exit_button = by_name(find_application()[0], "push button", "Exit")
    check(exit_button is not None, "the tree is read again")
    if exit_button is None:
        return lentaro
    exit_button.queryAction().doAction(0)
    try:
        code = lentaro.wait(10)
    except subprocess.TimeoutExpired:
        code = None
    check(code == 0, "the Exit action ends the program with code 0 (%r)" % code)
    return lentaro


def bus_goes_away():
    """The accessibility bus ends under the running program: it keeps running without it."""
    launcher = start(["/usr/libexec/at-spi-bus-launcher", "--launch-immediately"], LAUNCHER_ENV,
                     stderr=subprocess.DEVNULL)
    time.sleep(1.0)
    set_status("IsEnabled", True)
    lentaro = start([LENTARO], stderr=subprocess.DEVNULL)
    check(wait_until(lambda: find_application() is not None), "a second program is on the bus")
    os.kill(launcher.pid, signal.SIGTERM)
    launcher.wait(5)
    time.sleep(2.0)
    check(lentaro.poll() is None, "it keeps running when the accessibility bus goes away")


def main():
    lentaro = None
    try:
        lentaro = run()
        if not failures:
            bus_goes_away()
    finally:
        for process in reversed(processes):
            if process.poll() is None:
                os.kill(process.pid, signal.SIGTERM)
                try:
                    process.wait(5)
                except subprocess.TimeoutExpired:
                    os.kill(process.pid, signal.SIGKILL)
                    process.wait()
        if lentaro is not None and lentaro.stderr is not None:
            err = lentaro.stderr.read()
            if err:
                print("lentaro said: " + err.strip())
    if failures:
        print("%d check(s) failed" % len(failures))
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())

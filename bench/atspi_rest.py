#!/usr/bin/python3
# Lentaro's memory and wake-ups at rest with and without a screen reader: no accessibility bus; a bus
# announced but no client asking (the plug-in loaded, the bridge off); a client that asked and read
# the tree (the bridge on). Each on a private Xvfb under openbox, left alone 8 s, then measured for
# 10 s (timeslices of all threads from /proc/PID/task/*/schedstat, VmRSS). Not part of the tests.
# Usage: dbus-run-session -- /usr/bin/python3 bench/atspi_rest.py build/app/lentaro
import os
import subprocess
import sys
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests", "e2e_x11"))
import atspi_e2e as e2e  # noqa: E402
import pyatspi  # noqa: E402


def timeslices(pid):
    total = 0
    for task in os.listdir("/proc/%d/task" % pid):
        with open("/proc/%d/task/%s/schedstat" % (pid, task)) as f:
            total += int(f.read().split()[2])
    return total


def rss_mb(pid):
    with open("/proc/%d/status" % pid) as f:
        for line in f:
            if line.startswith("VmRSS:"):
                return int(line.split()[1]) / 1024.0
    return -1


def measure(label, lentaro):
    time.sleep(8)
    before = timeslices(lentaro.pid)
    time.sleep(10)
    wakeups = (timeslices(lentaro.pid) - before) / 10.0
    print("%-44s RSS %.2f MB, %.1f wake-ups per second" % (label, rss_mb(lentaro.pid), wakeups), flush=True)


def run(program, bus, ask):
    display = e2e.start_xvfb()
    os.environ["DISPLAY"] = display
    e2e.XTest(display).move(300, 400)
    e2e.start(["openbox", "--sm-disable"], stderr=subprocess.DEVNULL)
    time.sleep(0.5)
    if bus:
        e2e.start(["/usr/libexec/at-spi-bus-launcher", "--launch-immediately"], e2e.LAUNCHER_ENV,
                  stderr=subprocess.DEVNULL)
        time.sleep(1.0)
    e2e.set_status("IsEnabled", False) if bus else None
    lentaro = e2e.start([program], stderr=subprocess.DEVNULL)
    time.sleep(1.0)
    if ask:
        e2e.set_status("IsEnabled", True)
        e2e.wait_until(lambda: e2e.find_application() is not None)
        app = e2e.find_application()
        pyatspi.findAllDescendants(app, lambda n: n.name != "")  # read the whole tree once
    label = "a client reading the tree" if ask else "a bus, no client" if bus else "no accessibility bus"
    measure(label, lentaro)
    for process in reversed(e2e.processes):
        process.terminate()
        process.wait()
    e2e.processes.clear()


if __name__ == "__main__":
    for bus, ask in ((False, False), (True, False), (True, True)):
        run(sys.argv[1], bus, ask)

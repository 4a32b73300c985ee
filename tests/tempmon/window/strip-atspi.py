"""Reads the running HeatgaugeMini through AT-SPI as a screen reader does:
the strip's cells by their disks' names, each with its temperature and its
state in words. Exit 0 on success, 1 on a failed check.

  strip-atspi.py <HeatgaugeMini> <start folder>   (VORN_SIM names the machine)"""
import subprocess
import sys
import time

import pyatspi


def fail(message):
    print("FAIL:", message)
    sys.exit(1)


def walk(node):
    yield node
    for k in range(node.childCount):
        child = node.getChildAtIndex(k)
        if child is not None:
            yield from walk(child)


def find_strip():
    desktop = pyatspi.Registry.getDesktop(0)
    for k in range(desktop.childCount):
        app = desktop.getChildAtIndex(k)
        if app is None or app.name != "HeatgaugeMini":
            continue
        for node in walk(app):
            if node.getRoleName() == "list" and node.name == "ディスクの温度" \
                    and node.childCount > 0:
                return node
    return None


def main():
    program = subprocess.Popen([sys.argv[1]], cwd=sys.argv[2])
    try:
        deadline = time.monotonic() + 45  # a loaded machine starts slowly
        strip = None
        while strip is None and time.monotonic() < deadline:
            strip = find_strip()
            if strip is None:
                time.sleep(0.2)
        if strip is None:
            fail("no strip on the accessibility bus")
        cells = {}
        for k in range(strip.childCount):
            cell = strip.getChildAtIndex(k)
            cells[cell.name] = cell.description
        expected = {
            "ST2000DM008-2FR102 C: D:": "34 ℃ 正常",
            "Maxtor 6Y080L0 E:": "43 ℃ 正常",
            "HDS722580VLAT20 G:": "-- ℃ ? 不明",
        }
        if len(cells) != 6:
            fail("%d cells: %r" % (len(cells), cells))
        for name, description in expected.items():
            if cells.get(name) != description:
                fail("cell %r reads %r, not %r" % (name, cells.get(name), description))
        failing = [d for n, d in cells.items() if n.startswith("WDC WD10EZEX-08WN4A0")]
        if not failing or not failing[0].endswith("✖ 異常"):
            fail("the failing disk's cell reads %r" % failing)
        print("strip cells read by their disks' names: ok")
    finally:
        program.terminate()
        program.wait(5)


if __name__ == "__main__":
    main()

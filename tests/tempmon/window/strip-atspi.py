"""Reads the running HeatgaugeMini through AT-SPI as a screen reader does:
the strip's cells by their disks' names, each with its temperature and its
state in words, in the language VORN_LANG asks for (Japanese unless "en";
in English no Japanese may reach the reader at all). Exit 0 on success, 1
on a failed check.

  strip-atspi.py <HeatgaugeMini> <start folder>   (VORN_SIM names the machine)"""
import os
import re
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


ENGLISH = os.environ.get("VORN_LANG") == "en"
WORDS = {
    "strip": "Disk temperatures" if ENGLISH else "ディスクの温度",
    "good": "Good" if ENGLISH else "正常",
    "bad": "Bad" if ENGLISH else "異常",
    "unknown": "Unknown" if ENGLISH else "不明",
}
CJK = re.compile("[\u3000-\u30ff\u3400-\u9fff\uff00-\uffef]")


def find_app():
    desktop = pyatspi.Registry.getDesktop(0)
    for k in range(desktop.childCount):
        app = desktop.getChildAtIndex(k)
        if app is not None and app.name == "HeatgaugeMini":
            return app
    return None


def find_strip():
    app = find_app()
    for node in walk(app) if app is not None else ():
        if node.getRoleName() == "list" and node.name == WORDS["strip"] \
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
            "ST2000DM008-2FR102 C: D:": "34 ℃ " + WORDS["good"],
            "Maxtor 6Y080L0 E:": "43 ℃ " + WORDS["good"],
            "HDS722580VLAT20 G:": "-- ℃ ? " + WORDS["unknown"],
        }
        if len(cells) != 6:
            fail("%d cells: %r" % (len(cells), cells))
        for name, description in expected.items():
            if cells.get(name) != description:
                fail("cell %r reads %r, not %r" % (name, cells.get(name), description))
        failing = [d for n, d in cells.items() if n.startswith("WDC WD10EZEX-08WN4A0")]
        if not failing or not failing[0].endswith("✖ " + WORDS["bad"]):
            fail("the failing disk's cell reads %r" % failing)
        if ENGLISH:
            for node in walk(find_app()):
                for text in (node.name, node.description):
                    if CJK.search(text or ""):
                        fail("Japanese read in English: %r (%s)" % (text, node.getRoleName()))
        print("strip cells read by their disks' names in %s: ok"
              % ("English" if ENGLISH else "Japanese"))
    finally:
        program.terminate()
        program.wait(5)


if __name__ == "__main__":
    main()

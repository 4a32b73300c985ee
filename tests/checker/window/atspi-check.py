"""Reads the running DrivewatchMini through AT-SPI: the panel values by their
captions, the attribute table, a press on a disk button; then a screenshot.
With VORN_LANG=en it reads the English window instead: its controls and a few
panel values by their English captions.
Exit 0 on success, 1 on a failed check, 77 when the setup cannot run."""
import os
import re
import subprocess
import sys
import time

import pyatspi

SKIP = 77


def fail(message):
    print("FAIL:", message)
    sys.exit(1)


def wait_for(what, find, seconds=45):  # a loaded machine or a sanitizer build is slow
    deadline = time.monotonic() + seconds
    while time.monotonic() < deadline:
        found = find()
        if found:
            return found
        time.sleep(0.2)
    fail("no " + what + " within %d s" % seconds)


def walk(node):
    yield node
    for k in range(node.childCount):
        child = node.getChildAtIndex(k)
        if child is not None:
            yield from walk(child)


def find_app():
    desktop = pyatspi.Registry.getDesktop(0)
    for k in range(desktop.childCount):
        app = desktop.getChildAtIndex(k)
        if app is not None and app.name == "DrivewatchMini":
            for node in walk(app):
                if node.getRoleName() in ("frame", "dialog") and node.name == "Drivewatch Vuda":
                    return node
    return None


def value_of(frame, caption):
    """The text of the control the caption labels (its "labelled by")."""
    for node in walk(frame):
        if node.getRoleName() == "label" and node.name == caption:
            for relation in node.getRelationSet():
                if relation.getRelationType() == pyatspi.RELATION_LABEL_FOR:
                    target = relation.getTarget(0)
                    return target.name
    return None


JAPANESE = re.compile("[\u3000-\u30ff\u3400-\u9fff\uff00-\uffef]")


def value_by_pattern(frame, pattern):
    """The caption that matches pattern and the value it labels, or (None, None)."""
    for node in walk(frame):
        if node.getRoleName() == "label" and re.fullmatch(pattern, node.name or "", re.I):
            return node.name, value_of(frame, node.name)
    return None, None


def check_english(frame):
    # The window's own controls, by the names a screen reader announces.
    names = {n.name for n in walk(frame)
             if n.getRoleName() in ("push button", "toggle button", "table")}
    for name in ("Close", "Minimize", "SMART attributes", "Refresh SMART information",
                 "Measure the power-on time again"):
        if name not in names:
            fail("no control named %r among %r" % (name, sorted(names)))
    print("English control names: ok")

    wait_for("model after the scan",
             lambda: (value_by_pattern(frame, r"(HDD |disk )?model( name)?:?")[1] or
                      value_of(frame, "モデル名：") or "").strip("-") or None)
    # The panel's captions are the checker core's words; a build whose core
    # catalogue still lacks them shows them in Japanese.
    captions = {}
    for what, pattern in (("model", r"(HDD |disk )?model( name)?:?"),
                          ("temperature", r"(HDD |disk )?temperature:?"),
                          ("health", r"(HDD |disk )?(health|status|state):?")):
        captions[what] = value_by_pattern(frame, pattern)
    if None in (captions["model"][0], captions["temperature"][0], captions["health"][0]):
        if value_of(frame, "HDD温度：") is None:
            fail("no temperature caption in either language")
        print("note: the panel's captions are still Japanese (checker core)")
        return
    if captions["model"][1] != "ST2000DM008-2FR102":
        fail("model reads %r" % (captions["model"],))
    caption, temperature = captions["temperature"]
    if not temperature or not temperature.startswith("34"):
        fail("%s reads %r" % (caption, temperature))
    caption, health = captions["health"]
    if not health or JAPANESE.search(health):
        fail("%s reads %r" % (caption, health))
    print("panel read by English captions (%s, %s): ok" % (captions["temperature"][0],
                                                          captions["health"][0]))


def main():
    tray = subprocess.Popen(["trayer", "--edge", "top", "--align", "right", "--widthtype",
                             "request", "--height", "28", "--transparent", "false"],
                            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL) \
        if subprocess.call(["which", "trayer"], stdout=subprocess.DEVNULL) == 0 else None
    time.sleep(0.5)
    program = subprocess.Popen([os.environ["DRIVEWATCH_MINI"]], cwd=os.environ["START_DIR"])
    try:
        frame = wait_for("window on the accessibility bus", find_app)
        if os.environ.get("VORN_LANG") == "en":
            check_english(frame)
            shots = os.environ.get("SHOT_DIR") or os.environ["START_DIR"]
            subprocess.check_call(["import", "-window", "root",
                                   os.path.join(shots, "xvfb-main-en.png")])
            print("screenshot: ok")
            return
        model = wait_for("model after the scan",
                         lambda: (value_of(frame, "モデル名：") or "").strip("-") or None)
        if model != "ST2000DM008-2FR102":
            fail("model reads %r" % model)
        for caption, expected in (("シリアル番号：", "ZFL1K8QW"), ("HDD状態：", "正常"),
                                  ("HDD温度：", "34℃"), ("電源投入回数：", "409 回")):
            got = value_of(frame, caption)
            if got != expected:
                fail("%s reads %r, not %r" % (caption, got, expected))
        print("panel read by captions: ok")

        table = next((n for n in walk(frame) if n.getRoleName() == "table"), None)
        if table is None:
            fail("no attribute table")
        cells = table.queryTable()
        if cells.nColumns != 8 or cells.nRows < 10:
            fail("table is %d x %d" % (cells.nRows, cells.nColumns))
        if cells.getColumnDescription(1) != "属性名" or cells.getAccessibleAt(0, 0).name != "01":
            fail("table heading %r, first id %r" % (cells.getColumnDescription(1),
                                                   cells.getAccessibleAt(0, 0).name))
        print("attribute table %d rows: ok" % cells.nRows)

        buttons = ("push button", "toggle button")
        # Every disk is named with its model, its temperature and its state.
        for name in ("ST2000DM008-2FR102 34℃ 正常\nC: D: ",
                     "HDS722580VLAT20 温度不明 不明\nG: "):
            if not any(n.getRoleName() in buttons and n.name == name for n in walk(frame)):
                fail("no disk button named %r" % name)
        name = "WDC WD10EZEX-08WN4A0 39℃ 異常\nF: /srv/backup \nしきい値以下の属性: 05 再配置セクタ数"
        button = next((n for n in walk(frame)
                       if n.getRoleName() in buttons and n.name == name), None)
        if button is None:
            fail("no disk button named %r" % name)
        button.queryAction().doAction(0)
        wait_for("the third disk in the panel",
                 lambda: value_of(frame, "モデル名：") == "WDC WD10EZEX-08WN4A0")
        if value_of(frame, "HDD状態：") != "異常":
            fail("the failing disk's state reads %r" % value_of(frame, "HDD状態："))
        wait_for("the pressed disk marked as the shown one",
                 lambda: button.getState().contains(pyatspi.STATE_CHECKED))
        print("disk button pressed through AT-SPI: ok")

        # Nothing a user can press or look at goes unnamed: the logo and
        # every button say what they are.
        unnamed = [n.getRoleName() for n in walk(frame)
                   if n.getRoleName() in buttons + ("image", "label") and
                   n.getState().contains(pyatspi.STATE_SHOWING) and not n.name]
        if unnamed:
            fail("unnamed controls: %r" % unnamed)
        print("no unnamed controls: ok")

        shots = os.environ.get("SHOT_DIR") or os.environ["START_DIR"]
        subprocess.check_call(["import", "-window", "root", os.path.join(shots, "xvfb-main.png")])
        print("screenshot: ok")
    finally:
        program.terminate()
        program.wait(5)
        if tray:
            tray.terminate()


if __name__ == "__main__":
    main()

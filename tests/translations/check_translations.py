#!/usr/bin/env python3
"""Fails when a text the user reads has no English, in four ways:

1. a catalogue is not in step with the code (a new Cm_Tr or QT_TRANSLATE_NOOP
   text, or one gone), as tools/update-translations.sh would change it;
2. a message of a catalogue has no finished English;
3. an English text lacks a placeholder (%1, %n) of its source or adds one;
4. a Japanese string literal of the code is in no catalogue (shown without
   Cm_Tr), unless untranslated-allowed.txt names it with its reason.

    check_translations.py <source-root>
"""
import os
import re
import shutil
import subprocess
import sys
import tempfile
import xml.etree.ElementTree as ET

root = sys.argv[1]
catalogues = os.path.join(root, "data", "translations")
rooms = ["common", "hdd", "diskpass", "checker", "tempmon"]
cjk = re.compile("[\u3000-\u30ff\u3400-\u9fff\uff00-\uffef]")
placeholder = re.compile(r"%(?:\d+|n)")
failures = []

# 1. In step with the code.
with tempfile.TemporaryDirectory() as scratch:
    for name in os.listdir(catalogues):
        shutil.copy(os.path.join(catalogues, name), scratch)
    subprocess.run([os.path.join(root, "tools", "update-translations.sh"), scratch], check=True)
    for name in sorted(os.listdir(catalogues)):
        with open(os.path.join(catalogues, name), encoding="utf-8") as a, \
                open(os.path.join(scratch, name), encoding="utf-8") as b:
            if a.read() != b.read():
                failures.append(f"{name}: not in step with the code; run tools/update-translations.sh "
                                "and give the new texts their English")

# 2 and 3. Finished, with the source's placeholders.
sources = set()
for name in sorted(os.listdir(catalogues)):
    tree = ET.parse(os.path.join(catalogues, name))
    for context in tree.getroot().iter("context"):
        for message in context.iter("message"):
            source = message.findtext("source") or ""
            sources.add(source)
            translation = message.find("translation")
            forms = [f.text or "" for f in translation.findall("numerusform")] or [translation.text or ""]
            where = f"{name}: {context.findtext('name')} {source!r}"
            if translation.get("type") in ("unfinished", "vanished", "obsolete") or not all(forms):
                failures.append(f"{where}: no English")
                continue
            for form in forms:
                if sorted(set(placeholder.findall(form))) != sorted(set(placeholder.findall(source))):
                    failures.append(f"{where}: placeholders differ in {form!r}")
                if cjk.search(form):
                    failures.append(f"{where}: Japanese left in {form!r}")

# 4. No Japanese literal outside the catalogues.
allowed = {}
with open(os.path.join(os.path.dirname(__file__), "untranslated-allowed.txt"), encoding="utf-8") as f:
    for line in f:
        line = line.split("#", 1)[0].rstrip()
        if line:
            path, literal = line.split(": ", 1)
            allowed.setdefault(path, set()).add(literal)

token = re.compile(r'//[^\n]*|/\*.*?\*/|R"\((.*?)\)"|"((?:[^"\\\n]|\\.)*)"|\'(?:[^\'\\\n]|\\.)*\'', re.S)
for room in rooms:
    for folder, _, files in os.walk(os.path.join(root, room)):
        for name in files:
            if not name.endswith((".h", ".cpp")):
                continue
            path = os.path.join(folder, name)
            relative = os.path.relpath(path, root)
            with open(path, encoding="utf-8") as f:
                text = f.read()
            for match in token.finditer(text):
                literal = match.group(1) if match.group(1) is not None else match.group(2)
                if literal is None or not cjk.search(literal):
                    continue
                unescaped = literal.replace('\\"', '"').replace("\\n", "\n").replace("\\\\", "\\")
                if any(unescaped in source for source in sources):
                    continue
                if literal in allowed.get(relative, ()):
                    continue
                line = text.count("\n", 0, match.start()) + 1
                failures.append(f"{relative}:{line}: Japanese text without English: {literal!r}")

for failure in failures:
    print(failure)
print(f"{len(failures)} fault(s)" if failures else "every text has its English")
sys.exit(1 if failures else 0)

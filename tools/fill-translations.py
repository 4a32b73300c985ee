#!/usr/bin/env python3
"""Writes English into a catalogue from lines of "context<TAB>source<TAB>English".

    tools/fill-translations.py data/translations/hdd.en.ts < english.tsv

A source with line breaks is written with \\n in the line. The catalogue's
messages that the lines do not name are left as they are; a line that names
no message of the catalogue is an error, so a typo cannot pass unseen.
Run tools/update-translations.sh afterwards to bring the file to lupdate's
own layout.
"""
import sys
import xml.etree.ElementTree as ET

path = sys.argv[1]
tree = ET.parse(path)
messages = {}
for context in tree.getroot().iter("context"):
    name = context.findtext("name")
    for message in context.iter("message"):
        messages[(name, message.findtext("source"))] = message

missing = 0
for line in sys.stdin:
    line = line.rstrip("\n")
    if not line.strip():
        continue
    context, source, english = (part.replace("\\n", "\n") for part in line.split("\t"))
    message = messages.get((context, source))
    if message is None:
        print(f"{path}: no message {context!r} {source!r}", file=sys.stderr)
        missing += 1
        continue
    translation = message.find("translation")
    translation.attrib.pop("type", None)
    numerus = translation.findall("numerusform")
    if numerus:
        forms = english.split("|")
        for form, text in zip(numerus, forms + forms[-1:] * len(numerus)):
            form.text = text
    else:
        translation.text = english

with open(path, "wb") as out:
    out.write(b'<?xml version="1.0" encoding="utf-8"?>\n<!DOCTYPE TS>\n')
    tree.write(out, encoding="utf-8", xml_declaration=False)
sys.exit(1 if missing else 0)

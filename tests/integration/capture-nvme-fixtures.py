#!/usr/bin/env python3
"""Turns the NVMe guest's recorded replies into simulated disks.

    tests/integration/scenario/nvme.sh OUT build/bin
    tests/integration/capture-nvme-fixtures.py OUT/run/files tests/fixtures/qemu-nvme

The guest script saves, per namespace, smartctl's byte dump of the replies to
Identify Controller, Identify Namespace and Get Log Page 02h
(raw-<serial>.txt). A dump lists rows of 16 bytes by offset and ends with
"..." where only zero rows follow, so rows not listed are zero.
"""

import os
import re
import sys

CALL = re.compile(r"\[NVMe call: opcode=0x([0-9a-f]+), size=0x([0-9a-f]+), nsid=0x([0-9a-f]+), "
                  r"cdw10=0x([0-9a-f]+)\]")
ROW = re.compile(r"^ ([0-9a-f]+)\s+((?:[0-9a-f]{2}\s+){15}[0-9a-f]{2})")


def replies(text):
    """(opcode, cdw10, bytes) of every successful call, in order."""
    found = []
    current = None
    for line in text.splitlines():
        m = CALL.search(line)
        if m:
            current = [int(m.group(1), 16), int(m.group(4), 16), bytearray(int(m.group(2), 16))]
            found.append(current)
            continue
        m = ROW.match(line)
        if m and current:
            offset = int(m.group(1), 16)
            current[2][offset:offset + 16] = bytes(int(b, 16) for b in m.group(2).split())
    return found


def hex_text(title, image):
    lines = ["# " + title]
    for row in range(0, len(image), 16):
        lines.append(" ".join("%02x" % b for b in image[row:row + 16]) + "  # %03x" % row)
    return "\n".join(lines) + "\n"


def main():
    files, target = sys.argv[1], sys.argv[2]
    disks = [line.split() for line in open(os.path.join(files, "nvme-disks"))]
    for index, (name, serial) in enumerate(disks):
        images = {}
        for opcode, cdw10, data in replies(open(os.path.join(files, "raw-%s.txt" % serial)).read()):
            key = {(0x06, 1): "nvme-identify-controller", (0x06, 0): "nvme-identify-namespace",
                   (0x02, 2): "nvme-health"}.get((opcode, cdw10 & 0xFF))
            if key and key not in images:
                images[key] = data
        folder = os.path.join(target, "%d-%s" % (index, serial.lower()))
        os.makedirs(folder, exist_ok=True)
        for key, data in images.items():
            with open(os.path.join(folder, key + ".hex"), "w") as f:
                f.write(hex_text("%s of QEMU's emulated controller %s (%s)" % (key, serial, name),
                                 data))
        size = int.from_bytes(images["nvme-identify-namespace"][0:8], "little") * 512
        with open(os.path.join(folder, "disk.ini"), "w") as f:
            f.write("[Drive]\nIndex=%d\nModel=QEMU NVMe Ctrl\nInterfaceType=SCSI\n"
                    "MediaType=Fixed hard disk media\nSCSIPort=-1\nSCSITargetId=-1\nSize=%d\n\n"
                    "[Device]\nProtocol=NVMe\nNamespace=1\n" % (index, size))


if __name__ == "__main__":
    main()

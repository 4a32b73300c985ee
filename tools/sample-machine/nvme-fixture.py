#!/usr/bin/env python3
"""Writes tests/fixtures/nvme-machine: a simulated machine with two NVMe disks.

The images are hand-made from the values below (a healthy disk, and a worn
disk whose namespace reports no size and whose counters pass what 32 and 64
bits hold). Run from the repository root:

    python3 tools/sample-machine/nvme-fixture.py [output-folder]

The generated files are committed; the build does not run this script.
"""

import os
import sys

IDENTIFY = 4096
LOG = 512


def put(image, offset, size, value):
    for k in range(size):
        image[offset + k] = (value >> (8 * k)) & 0xFF


def put_text(image, offset, length, text):
    """NVMe strings: ASCII in reading order, padded with blanks."""
    assert len(text) <= length, text
    image[offset:offset + length] = text.ljust(length).encode("ascii")


def identify_controller(d):
    image = bytearray(IDENTIFY)
    put(image, 0, 2, 0x1D1D)  # vendor ids: made up
    put(image, 2, 2, 0x1D1D)
    put_text(image, 4, 20, d["serial"])
    put_text(image, 24, 40, d["model"])
    put_text(image, 64, 8, d["firmware"])
    put(image, 80, 4, d["version"])
    put(image, 262, 1, 63)  # error log entries less one
    put(image, 266, 2, d["wctemp"])
    put(image, 268, 2, d["cctemp"])
    put(image, 516, 4, 1)  # one namespace
    return image


def identify_namespace(d):
    image = bytearray(IDENTIFY)
    put(image, 0, 8, d["blocks"])
    put(image, 8, 8, d["blocks"])
    put(image, 16, 8, d["blocks"])
    put(image, 25, 1, 1)  # two formats
    put(image, 26, 1, d["format"])
    put(image, 128 + 2, 1, 9)  # format 0: 512-byte blocks
    put(image, 132 + 2, 1, 12)  # format 1: 4096-byte blocks
    return image


def health_log(h):
    image = bytearray(LOG)
    put(image, 0, 1, h["critical_warning"])
    put(image, 1, 2, h["temperature_k"])
    put(image, 3, 1, h["spare"])
    put(image, 4, 1, h["spare_threshold"])
    put(image, 5, 1, h["used"])
    for offset, key in [(32, "units_read"), (48, "units_written"), (64, "host_reads"),
                        (80, "host_writes"), (96, "busy"), (112, "power_cycles"),
                        (128, "power_on_hours"), (144, "unsafe"), (160, "media_errors"),
                        (176, "error_entries")]:
        put(image, offset, 16, h[key])
    put(image, 192, 4, h["warning_time"])
    put(image, 196, 4, h["critical_time"])
    for i, kelvin in enumerate(h["sensors"]):
        put(image, 200 + 2 * i, 2, kelvin)
    return image


def hex_text(title, image):
    lines = ["# " + title]
    for row in range(0, len(image), 16):
        lines.append(" ".join("%02x" % b for b in image[row:row + 16]) + "  # %03x" % row)
    return "\n".join(lines) + "\n"


DISKS = [
    {
        "folder": "0-nvme-healthy",
        "index": 0,
        "serial": "VN20A0001",
        "model": "Vorn Example NVMe 512GB",
        "firmware": "1.0.3",
        "version": 0x00010400,
        "wctemp": 343,
        "cctemp": 353,
        "blocks": 125026902,
        "format": 1,
        "size": 512110190592,
        "volumes": "Partition1=C:\n",
        "device": ("Namespace=1\nMaxLinkSpeed=8.0 GT/s PCIe\nMaxLinkWidth=4\n"
                   "CurrentLinkSpeed=8.0 GT/s PCIe\nCurrentLinkWidth=4\n"),
        "health": {
            "critical_warning": 0, "temperature_k": 318, "spare": 100,
            "spare_threshold": 10, "used": 3, "units_read": 1234567,
            "units_written": 2345678, "host_reads": 98765432, "host_writes": 87654321,
            "busy": 4321, "power_cycles": 1234, "power_on_hours": 5678, "unsafe": 12,
            "media_errors": 0, "error_entries": 7, "warning_time": 0, "critical_time": 0,
            "sensors": [316, 320],
        },
    },
    {
        "folder": "1-nvme-worn",
        "index": 1,
        "serial": "VN20A0002",
        "model": "Vorn Example NVMe 256GB",
        "firmware": "0.9",
        "version": 0x00010201,
        "wctemp": 0,
        "cctemp": 0,
        "blocks": 0,
        "format": 0,
        "size": 256060514304,
        "volumes": "",
        "device": "Namespace=2\n",
        "health": {
            "critical_warning": 0x04, "temperature_k": 0, "spare": 5,
            "spare_threshold": 10, "used": 104, "units_read": 1 << 70,
            "units_written": (1 << 64) + 1, "host_reads": 1, "host_writes": 2,
            "busy": 3, "power_cycles": 1 << 40, "power_on_hours": (1 << 64) + 5,
            "unsafe": 4, "media_errors": 3, "error_entries": 2 ** 128 - 1,
            "warning_time": 60, "critical_time": 5, "sensors": [],
        },
    },
]


def disk_ini(d):
    return ("[Drive]\nIndex=%d\nModel=%s\nCaption=%s\nInterfaceType=SCSI\n"
            "MediaType=Fixed hard disk media\nPNPDeviceID=SCSI\\DISK&VEN_NVME&PROD_%s\n"
            "SCSIPort=-1\nSCSITargetId=-1\nSize=%d\n\n[Volumes]\n%s\n[Device]\nProtocol=NVMe\n%s"
            % (d["index"], d["model"], d["model"], d["model"].upper().replace(" ", "_"),
               d["size"], d["volumes"], d["device"]))


def write(path, text):
    with open(path, "w", newline="\n") as f:
        f.write(text)


def main():
    root = sys.argv[1] if len(sys.argv) > 1 else "tests/fixtures/nvme-machine"
    for d in DISKS:
        folder = os.path.join(root, d["folder"])
        os.makedirs(folder, exist_ok=True)
        write(os.path.join(folder, "disk.ini"), disk_ini(d))
        write(os.path.join(folder, "nvme-identify-controller.hex"),
              hex_text("Identify Controller", identify_controller(d)))
        write(os.path.join(folder, "nvme-identify-namespace.hex"),
              hex_text("Identify Namespace", identify_namespace(d)))
        write(os.path.join(folder, "nvme-health.hex"),
              hex_text("SMART / Health Information log", health_log(d["health"])))
        write(os.path.join(folder, "origin.txt"),
              "Hand-made by tools/sample-machine/nvme-fixture.py; not captured from a device.\n")


if __name__ == "__main__":
    main()

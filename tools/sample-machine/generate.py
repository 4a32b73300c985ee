#!/usr/bin/env python3
"""Writes data/sample-machine: a simulated machine with six disks.

Every sector is built here from the values below, so the images are
reproducible and their checksums right. Run from the repository root:

    python3 tools/sample-machine/generate.py [output-folder]
    python3 tools/sample-machine/generate.py --statistics tests/fixtures/statistics-machine

The second form writes the small machine whose disks keep a Device
Statistics log (log 04h), which the tests read.

The generated files are committed; the build does not run this script.
"""

import os
import sys

SECTOR = 512


def put_word(image, word, value):
    image[word * 2] = value & 0xFF
    image[word * 2 + 1] = (value >> 8) & 0xFF


def put_dword(image, word, value):
    put_word(image, word, value & 0xFFFF)
    put_word(image, word + 1, (value >> 16) & 0xFFFF)


def put_qword(image, word, value):
    for k in range(4):
        put_word(image, word + k, (value >> (16 * k)) & 0xFFFF)


def put_ata_text(image, word, words, text, right=False):
    """ATA strings: two characters per word, the first in the high byte."""
    padded = text.rjust(words * 2) if right else text.ljust(words * 2)
    assert len(padded) == words * 2, text
    for k in range(words):
        put_word(image, word + k, ord(padded[2 * k]) << 8 | ord(padded[2 * k + 1]))


def seal(image, signature=None):
    """Byte 511 makes the 512 bytes sum to zero; identify carries 0xA5 first."""
    if signature is not None:
        image[510] = signature
    image[511] = (-sum(image[:511])) & 0xFF


def identify(d):
    image = bytearray(SECTOR)
    sectors = d["sectors"]
    put_word(image, 0, 0x0C5A)
    put_word(image, 1, 16383)
    put_word(image, 3, 16)
    put_word(image, 6, 63)
    put_ata_text(image, 10, 10, d["serial"], right=True)
    put_ata_text(image, 23, 4, d["firmware"])
    put_ata_text(image, 27, 20, d["model"])
    put_word(image, 47, 0x8010)
    put_word(image, 49, 0x2F00)
    put_word(image, 50, 0x4000)
    put_word(image, 53, 0x0007)
    put_word(image, 54, 16383)
    put_word(image, 55, 16)
    put_word(image, 56, 63)
    put_dword(image, 57, 16514064)
    put_word(image, 59, 0x0110)
    put_dword(image, 60, min(sectors, 0x0FFFFFFF))
    put_word(image, 63, 0x0007)
    put_word(image, 64, 0x0003)
    for word in (65, 66, 67, 68):
        put_word(image, word, 0x0078)
    if d["sata"]:
        put_word(image, 75, 0x001F)
        put_word(image, 76, {1: 0x0102, 2: 0x0106, 3: 0x010E}[d["gen"]])
        put_word(image, 78, 0x0048)
        put_word(image, 79, 0x0040)
    put_word(image, 80, d["major"])
    put_word(image, 81, d["minor"])
    supported82 = 0x4000 | 0x0040 | 0x0020 | 0x0008 | 0x0001
    supported83 = 0x4000 | 0x1000 | (0x2400 if d["lba48"] else 0)
    put_word(image, 82, supported82)
    put_word(image, 83, supported83)
    logging = 0x0020 if d.get("gpl") else 0  # General Purpose Logging
    put_word(image, 84, 0x4003 | logging)
    put_word(image, 85, supported82 & ~(0 if d["smart_on"] else 0x0001))
    put_word(image, 86, supported83 & ~0x4000)
    put_word(image, 87, 0x4003 | logging)
    put_word(image, 88, d["udma"])
    if not d["sata"]:
        put_word(image, 93, 0x600B if d["cable80"] else 0x400B)
    if d["lba48"]:
        put_qword(image, 100, sectors)
    if d["sata"]:
        put_word(image, 106, 0x4000)
        put_word(image, 217, d.get("rpm", 7200))
        put_word(image, 222, 0x107F)
    seal(image, 0xA5)
    return image


# Typical flag words: bit 0 pre-failure, bit 1 online, then vendor bits.
FLAGS = {1: 0x000F, 3: 0x0003, 4: 0x0032, 5: 0x0033, 7: 0x000F, 9: 0x0032, 10: 0x0013,
         11: 0x0012, 12: 0x0032, 183: 0x0032, 184: 0x0032, 187: 0x0032, 188: 0x0032,
         189: 0x003A, 190: 0x0022, 191: 0x0032, 192: 0x0032, 193: 0x0032, 194: 0x0022,
         195: 0x001A, 196: 0x0032, 197: 0x0012, 198: 0x0010, 199: 0x003E, 200: 0x0008,
         240: 0x0000, 241: 0x0000, 242: 0x0000}


def smart_data(attributes, offline_status=0x82, extended_minutes=0xFF):
    image = bytearray(SECTOR)
    put_word(image, 0, 0x0010)
    assert len(attributes) <= 30
    for k, (ident, current, worst, raw, _threshold) in enumerate(attributes):
        at = 2 + 12 * k
        image[at] = ident
        flags = FLAGS.get(ident, 0x0032)
        image[at + 1] = flags & 0xFF
        image[at + 2] = flags >> 8
        image[at + 3] = current
        image[at + 4] = worst
        for i in range(6):
            image[at + 5 + i] = (raw >> (8 * i)) & 0xFF
    image[362] = offline_status
    image[363] = 0x00
    image[364:366] = (600).to_bytes(2, "little")
    image[367] = 0x7B
    image[368:370] = (0x0003).to_bytes(2, "little")
    image[370] = 0x01
    image[372] = 1
    image[373] = min(extended_minutes, 0xFF)
    image[374:376] = extended_minutes.to_bytes(2, "little")
    image[376] = 2
    seal(image)
    return image


def smart_thresholds(attributes):
    image = bytearray(SECTOR)
    put_word(image, 0, 0x0010)
    for k, (ident, _current, _worst, _raw, threshold) in enumerate(attributes):
        image[2 + 12 * k] = ident
        image[2 + 12 * k + 1] = threshold
    seal(image)
    return image


def temperature(now, low, high):
    return now | low << 16 | high << 32


STAT_SUPPORTED_VALID = 0xC0 << 56


def device_statistics(hours, resets, degrees, pages=8):
    """Log 04h from page 0: the list, General (01h) and Temperature (05h) Statistics."""
    image = bytearray(SECTOR * pages)

    def qword(page, offset, value):
        at = page * SECTOR + offset
        image[at:at + 8] = value.to_bytes(8, "little")

    listed = [0x00, 0x01, 0x05]
    qword(0, 0, 0x0001)
    image[8] = len(listed)
    image[9:9 + len(listed)] = bytes(listed)
    qword(1, 0, 0x0001 | 0x01 << 16)
    qword(1, 8, STAT_SUPPORTED_VALID | resets)
    qword(1, 16, STAT_SUPPORTED_VALID | hours)
    qword(5, 0, 0x0001 | 0x05 << 16)
    qword(5, 8, STAT_SUPPORTED_VALID | (degrees & 0xFF))
    return image


def hex_text(title, image):
    lines = ["# " + title, "# 512 bytes as the device sends them; '#' starts a comment."]
    if len(image) != SECTOR:
        lines[1] = "# %d pages of 512 bytes, page k at byte 512 k." % (len(image) // SECTOR)
    for row in range(0, len(image), 16):
        pairs = " ".join("%02x" % b for b in image[row:row + 16])
        lines.append("%s  # %03x" % (pairs, row))
    return "\n".join(lines) + "\n"


def drive_section(d):
    index = d["index"]
    fields = [
        ("Name", "\\\\.\\PHYSICALDRIVE%d" % index),
        ("Caption", d["caption"]),
        ("Model", d["caption"]),
        ("Description", "Disk drive"),
        ("DeviceID", "\\\\.\\PHYSICALDRIVE%d" % index),
        ("Index", str(index)),
        ("InterfaceType", d["interface"]),
        ("Manufacturer", "(Standard disk drives)"),
        ("MediaType", d["media"]),
        ("PNPDeviceID", d["pnp"]),
        ("BytesPerSector", "512"),
        ("Partitions", str(len(d["volumes"]))),
        ("SCSILogicalUnit", "0"),
        ("SCSIPort", str(d["port"])),
        ("SCSITargetId", str(d["target"])),
        ("Size", str(d["size"])),
        ("Status", "OK"),
    ]
    return "[Drive]\n" + "".join("%s=%s\n" % f for f in fields)


def disk_ini(d):
    text = "# %s\n" % d["summary"]
    text += drive_section(d)
    text += "\n[Volumes]\n"
    for k, names in enumerate(d["volumes"], start=1):
        text += "Partition%d=%s\n" % (k, ", ".join(names))
    text += "\n[Device]\n"
    for key in ("Direct", "Scsi", "Fail", "Status", "PowerOnPerHour", "Bridge", "UsbId",
                "UsbDriver"):
        if key in d["device"]:
            text += "%s=%s\n" % (key, d["device"][key])
    return text


def wmi_size(sectors):
    """The size the system reports: whole cylinders of 255 heads x 63 sectors."""
    return sectors // (255 * 63) * (255 * 63) * 512


DISKS = [
    {
        "folder": "0-sata-healthy",
        "summary": "Healthy 2 TB Serial ATA desktop disk, S.M.A.R.T. on, temperature in 194.",
        "model": "ST2000DM008-2FR102", "firmware": "0001", "serial": "ZFL1K8QW",
        "sectors": 3907029168, "sata": True, "gen": 3, "lba48": True, "smart_on": True,
        "major": 0x07F0, "minor": 0x006D, "udma": 0x407F, "rpm": 7200,
        "caption": "ST2000DM008-2FR102", "interface": "IDE", "media": "Fixed hard disk media",
        "pnp": "IDE\\DISKST2000DM008-2FR102______________________0001____\\5&2B7A5F1&0&0.0.0",
        "port": 0, "target": 0, "volumes": [["C:"], ["D:"]],
        "device": {"Direct": "yes", "Scsi": "yes", "Status": "good"},
        "attributes": [
            (1, 79, 64, 81936912, 6), (3, 97, 96, 0, 0), (4, 100, 100, 412, 20),
            (5, 100, 100, 0, 10), (7, 86, 60, 432015228, 45), (9, 88, 88, 10873, 0),
            (10, 100, 100, 0, 97), (12, 100, 100, 409, 20), (183, 100, 100, 0, 0),
            (184, 100, 100, 0, 99), (187, 100, 100, 0, 0), (188, 100, 100, 0, 0),
            (189, 100, 100, 0, 0), (190, 66, 51, temperature(34, 18, 49), 40),
            (191, 100, 100, 0, 0), (192, 100, 100, 211, 0), (193, 97, 97, 6524, 0),
            (194, 34, 49, temperature(34, 18, 49), 0), (195, 79, 64, 81936912, 0),
            (197, 100, 100, 0, 0), (198, 100, 100, 0, 0), (199, 200, 200, 0, 0),
            (240, 100, 253, 10702, 0), (241, 100, 253, 23911308771, 0),
            (242, 100, 253, 41275962130, 0),
        ],
    },
    {
        "folder": "1-pata-old",
        "summary": "Old 80 GB parallel ATA disk whose power-on counter counts minutes.",
        "model": "Maxtor 6Y080L0", "firmware": "YAR41BW0", "serial": "Y2C4KM3E",
        "sectors": 160086528, "sata": False, "lba48": True, "smart_on": True,
        "cable80": True, "major": 0x007E, "minor": 0x001E, "udma": 0x203F,
        "caption": "Maxtor 6Y080L0", "interface": "IDE", "media": "Fixed hard disk media",
        "pnp": "IDE\\DISKMAXTOR_6Y080L0____________________________YAR41BW0\\4&1F1C2E0F&0&0.1.0",
        "port": 1, "target": 1, "volumes": [["E:"]],
        "device": {"Direct": "yes", "Scsi": "yes", "Status": "good", "PowerOnPerHour": "60"},
        "attributes": [
            (3, 201, 199, 5981, 63), (4, 253, 253, 0, 4), (5, 253, 253, 3, 63),
            (6, 253, 253, 0, 100), (7, 253, 252, 0, 0), (8, 249, 243, 51102, 0),
            (9, 160, 160, 2876418, 0), (10, 253, 252, 0, 0), (11, 253, 252, 0, 0),
            (12, 247, 247, 3211, 0), (192, 253, 253, 0, 0), (193, 253, 253, 0, 0),
            (194, 43, 58, 43, 0), (195, 253, 252, 1627, 0), (196, 253, 253, 0, 0),
            (197, 253, 253, 0, 0), (198, 253, 253, 0, 0), (199, 199, 199, 0, 0),
            (200, 253, 252, 0, 0), (201, 253, 252, 0, 0), (202, 253, 252, 0, 0),
        ],
    },
    {
        "folder": "2-sata-failing",
        "summary": "Failing 1 TB Serial ATA disk: reallocated and pending sectors, "
                   "attribute 5 below its threshold, status exceeded.",
        "model": "WDC WD10EZEX-08WN4A0", "firmware": "01.01A01", "serial": "WD-WCC6Y3NK7L2P",
        "sectors": 1953525168, "sata": True, "gen": 3, "lba48": True, "smart_on": True,
        "major": 0x03F0, "minor": 0x001F, "udma": 0x407F, "rpm": 7200,
        "caption": "WDC WD10EZEX-08WN4A0", "interface": "IDE", "media": "Fixed hard disk media",
        "pnp": "IDE\\DISKWDC_WD10EZEX-08WN4A0_____________________01.01A01\\5&3A2B41C&0&1.0.0",
        "port": 0, "target": 1, "volumes": [["F:"], ["/srv/backup"]],
        "device": {"Direct": "yes", "Scsi": "yes", "Status": "exceeded"},
        "attributes": [
            (1, 200, 200, 1284, 51), (3, 171, 169, 2441, 21), (4, 100, 100, 1917, 0),
            (5, 112, 112, 1848, 140), (7, 200, 200, 0, 0), (9, 51, 51, 36114, 0),
            (10, 100, 100, 0, 0), (11, 100, 100, 0, 0), (12, 100, 100, 1902, 0),
            (192, 200, 200, 98, 0), (193, 190, 190, 31642, 0), (194, 108, 96, 39, 0),
            (196, 1, 1, 1031, 0), (197, 195, 195, 312, 0), (198, 197, 197, 204, 0),
            (199, 200, 200, 0, 0), (200, 196, 196, 717, 0),
        ],
    },
    {
        "folder": "3-smart-disabled",
        "summary": "80 GB parallel ATA disk with S.M.A.R.T. supported but switched off, "
                   "no 48-bit sector count.",
        "model": "HDS722580VLAT20", "firmware": "V32OA63A", "serial": "VNR33EC2G8K1LM",
        "sectors": 160836480, "sata": False, "lba48": False, "smart_on": False,
        "cable80": True, "major": 0x003C, "minor": 0x0017, "udma": 0x203F,
        "caption": "HDS722580VLAT20", "interface": "IDE", "media": "Fixed hard disk media",
        "pnp": "IDE\\DISKHDS722580VLAT20_____________________________V32OA63A\\4&1F1C2E0F&0&1.0.0",
        "port": 1, "target": 0, "volumes": [["G:"]],
        "device": {"Direct": "yes", "Scsi": "no", "Status": "good"},
        "attributes": [
            (1, 100, 100, 0, 60), (2, 100, 100, 0, 40), (3, 111, 111, 419, 24),
            (4, 100, 100, 2140, 0), (5, 100, 100, 0, 5), (7, 100, 100, 0, 67),
            (8, 100, 100, 0, 40), (9, 93, 93, 49312, 0), (10, 100, 100, 0, 60),
            (12, 100, 100, 2093, 0), (192, 99, 99, 1214, 0), (193, 99, 99, 1214, 0),
            (194, 122, 122, temperature(45, 14, 53), 0), (196, 100, 100, 0, 0),
            (197, 100, 100, 0, 0), (198, 100, 100, 0, 0), (199, 200, 200, 0, 0),
        ],
    },
    {
        "folder": "4-usb",
        "summary": "4 TB Serial ATA disk in a USB enclosure, read through its SAT (16) bridge.",
        "model": "WDC WD40EDAZ-11SLVB0", "firmware": "80.00A80", "serial": "WD-WX32D81HC2NK",
        "sectors": 7814037168, "sata": True, "gen": 3, "lba48": True, "smart_on": True,
        "major": 0x0FF0, "minor": 0x0000, "udma": 0x407F, "rpm": 5400,
        "caption": "WD Elements 25A3 USB Device", "interface": "USB",
        "media": "External hard disk media",
        "pnp": "USBSTOR\\DISK&VEN_WD&PROD_ELEMENTS_25A3&REV_1021\\5758333244383148&0",
        "port": 0, "target": 0, "volumes": [["H:"]],
        "device": {"Direct": "yes", "Scsi": "no", "Status": "good", "Bridge": "sat16",
                   "UsbId": "1058:25a3:1021", "UsbDriver": "uas"},
        "attributes": [
            (1, 200, 200, 0, 51), (3, 207, 199, 8608, 21), (4, 100, 100, 873, 0),
            (5, 200, 200, 0, 140), (7, 200, 200, 0, 0), (9, 96, 96, 3287, 0),
            (10, 100, 100, 0, 0), (11, 100, 100, 0, 0), (12, 100, 100, 871, 0),
            (192, 200, 200, 402, 0), (193, 200, 200, 1522, 0), (194, 115, 102, 37, 0),
            (196, 200, 200, 0, 0), (197, 200, 200, 0, 0), (198, 100, 253, 0, 0),
            (199, 200, 200, 0, 0), (200, 100, 253, 0, 0),
        ],
    },
    {
        "folder": "5-scsi-port-only",
        "summary": "1 TB Serial ATA notebook disk behind a storage controller that answers "
                   "only on the SCSI port path (port 3, target 2).",
        "model": "HGST HTS721010A9E630", "firmware": "JB0OA3U0", "serial": "JR1000D33VK6XE",
        "sectors": 1953525168, "sata": True, "gen": 3, "lba48": True, "smart_on": True,
        "major": 0x03FC, "minor": 0x0029, "udma": 0x407F, "rpm": 7200,
        "caption": "HGST HTS721010A9E630 SCSI Disk Device", "interface": "SCSI",
        "media": "Fixed hard disk media",
        "pnp": "SCSI\\DISK&VEN_HGST&PROD_HTS721010A9E630\\4&2E6F4A1B&0&000200",
        "port": 3, "target": 2, "volumes": [["/home"]],
        "device": {"Direct": "no", "Scsi": "yes", "Status": "good"},
        "attributes": [
            (1, 100, 100, 0, 62), (2, 100, 100, 0, 40), (3, 193, 193, 2, 33),
            (4, 100, 100, 1466, 0), (5, 100, 100, 0, 5), (7, 100, 100, 0, 67),
            (8, 100, 100, 0, 40), (9, 84, 84, 7128, 0), (10, 100, 100, 0, 60),
            (12, 100, 100, 1433, 0), (191, 100, 100, 0, 0), (192, 100, 100, 97, 0),
            (193, 91, 91, 93418, 0), (194, 171, 171, temperature(35, 17, 48), 0),
            (196, 100, 100, 0, 0), (197, 100, 100, 0, 0), (198, 100, 100, 0, 0),
            (199, 200, 200, 0, 0), (223, 100, 100, 0, 0),
        ],
    },
]

ORIGIN = """Origin: generated by tools/sample-machine/generate.py for this project.
%s
The values are modelled on what disks of this kind report (model, firmware,
serial and counters are made up but plausible). IDENTIFY strings are in the
device's byte order; byte 511 of every sector is its checksum.
"""


def write(path, text):
    with open(path, "w", encoding="utf-8", newline="\n") as f:
        f.write(text)


STATISTICS_DISKS = [
    {
        "folder": "0-gpl-statistics",
        "summary": "Notebook disk counting power-on minutes, with General Purpose Logging "
                   "and a Device Statistics log that states the hours (READ LOG EXT).",
        "model": "VORN NB1000 MINUTES", "firmware": "NB01", "serial": "VNB0001",
        "sectors": 1953525168, "sata": True, "gen": 3, "lba48": True, "smart_on": True,
        "gpl": True, "major": 0x03F0, "minor": 0x0029, "udma": 0x407F, "rpm": 5400,
        "caption": "VORN NB1000 MINUTES", "interface": "IDE", "media": "Fixed hard disk media",
        "pnp": "IDE\\DISKVORN_NB1000_MINUTES__________________________NB01____\\5&1&0&0.0.0",
        "port": 0, "target": 0, "volumes": [["C:"]],
        "device": {"Direct": "yes", "Scsi": "no", "Status": "good"},
        "statistics": (21655, 1420, 41, 8),
        "attributes": [
            (1, 100, 100, 0, 62), (5, 100, 100, 0, 5), (9, 58, 58, 1299300, 0),
            (12, 100, 100, 1420, 0), (194, 41, 50, 41, 0),
        ],
    },
    {
        "folder": "1-smart-statistics",
        "summary": "ACS-3 disk without General Purpose Logging: its Device Statistics come "
                   "by SMART READ LOG.",
        "model": "VORN DT2000 SMARTLOG", "firmware": "DT02", "serial": "VDT0002",
        "sectors": 3907029168, "sata": True, "gen": 3, "lba48": True, "smart_on": True,
        "major": 0x07F0, "minor": 0x006D, "udma": 0x407F, "rpm": 7200,
        "caption": "VORN DT2000 SMARTLOG", "interface": "IDE", "media": "Fixed hard disk media",
        "pnp": "IDE\\DISKVORN_DT2000_SMARTLOG_________________________DT02____\\5&1&0&1.0.0",
        "port": 0, "target": 1, "volumes": [["D:"]],
        "device": {"Direct": "yes", "Scsi": "no", "Status": "good"},
        "statistics": (8760, 95, 33, 8),
        "attributes": [
            (1, 100, 100, 0, 6), (5, 100, 100, 0, 10), (9, 91, 91, 8760, 0),
            (12, 100, 100, 95, 20), (194, 33, 45, 33, 0),
        ],
    },
    {
        "folder": "2-gpl-no-log",
        "summary": "Disk with General Purpose Logging that keeps no Device Statistics: "
                   "it refuses the list page, and attribute 9 is taken as hours.",
        "model": "VORN DT500 NOLOG", "firmware": "DT05", "serial": "VDT0005",
        "sectors": 976773168, "sata": True, "gen": 2, "lba48": True, "smart_on": True,
        "gpl": True, "major": 0x01F0, "minor": 0x0029, "udma": 0x407F, "rpm": 7200,
        "caption": "VORN DT500 NOLOG", "interface": "IDE", "media": "Fixed hard disk media",
        "pnp": "IDE\\DISKVORN_DT500_NOLOG_____________________________DT05____\\5&1&0&2.0.0",
        "port": 0, "target": 2, "volumes": [["E:"]],
        "device": {"Direct": "yes", "Scsi": "no", "Status": "good"},
        "attributes": [
            (1, 100, 100, 0, 6), (9, 95, 95, 4321, 0), (12, 100, 100, 512, 20),
            (194, 34, 45, 34, 0),
        ],
    },
]


def write_disks(root, disks):
    for d in disks:
        d["index"] = disks.index(d)
        d["size"] = wmi_size(d["sectors"])
        folder = os.path.join(root, d["folder"])
        os.makedirs(folder, exist_ok=True)
        write(os.path.join(folder, "disk.ini"), disk_ini(d))
        title = "%s, firmware %s, serial %s" % (d["model"], d["firmware"], d["serial"])
        write(os.path.join(folder, "identify.hex"),
              hex_text("IDENTIFY DEVICE of " + title, identify(d)))
        write(os.path.join(folder, "smart-data.hex"),
              hex_text("SMART READ DATA of " + title, smart_data(d["attributes"])))
        write(os.path.join(folder, "smart-thresholds.hex"),
              hex_text("SMART READ THRESHOLDS of " + title, smart_thresholds(d["attributes"])))
        if "statistics" in d:
            write(os.path.join(folder, "device-statistics.hex"),
                  hex_text("Device Statistics log of " + title, device_statistics(*d["statistics"])))
        write(os.path.join(folder, "origin.txt"), ORIGIN % d["summary"])


def main():
    args = sys.argv[1:]
    # A word that looks like an option is never taken for a folder to fill.
    if args[:1] == ["--statistics"] and len(args) == 2:
        os.makedirs(args[1], exist_ok=True)
        write_disks(args[1], STATISTICS_DISKS)
        return
    if len(args) > 1 or any(a.startswith("-") for a in args):
        print(__doc__, file=sys.stderr)
        sys.exit(0 if args[:1] in (["-h"], ["--help"]) else 2)
    root = args[0] if args else os.path.join("data", "sample-machine")
    os.makedirs(root, exist_ok=True)
    write(os.path.join(root, "machine.ini"),
          "# A Windows 7 workstation (NT family 6.1).\n"
          "[Machine]\nPlatform=2\nMajorVersion=6\nMinorVersion=1\nProductType=1\n"
          "BuildNumber=7601\nCSDVersion=Service Pack 1\n")
    write_disks(root, DISKS)

if __name__ == "__main__":
    main()

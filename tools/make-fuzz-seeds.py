#!/usr/bin/env python3
"""Writes the seed corpora of tests/fuzz/corpus/ from the fixtures and data
files kept in the tree. Run again when a fixture or a fuzz target's input
layout changes; the seeds are committed. Inputs named found-* are findings
of earlier campaigns, kept as seeds so a mended fault stays mended; they are
left alone."""
import pathlib
import re
import struct

ROOT = pathlib.Path(__file__).resolve().parent.parent
OUT = ROOT / "tests" / "fuzz" / "corpus"


def hex_sector(path):
    text = re.sub(r"#.*", "", path.read_text())
    return bytes.fromhex("".join(text.split()))


def disks():
    """Folders holding identify.hex, smart-data.hex and smart-thresholds.hex."""
    folders = sorted((ROOT / "tests" / "fixtures" / "qemu").iterdir())
    folders += sorted(p for p in (ROOT / "data" / "sample-machine").iterdir() if p.is_dir())
    return [f for f in folders if (f / "identify.hex").exists()]


def sectors(folder, name):
    path = folder / name
    return hex_sector(path) if path.exists() else bytes(512)


def baseline(records, unit=-1, time=1700000000):
    data = struct.pack("<ii", time, unit)
    for ident, init, change, current in records:
        data += struct.pack("<Biii", ident, init, change, current)
    return data


def write(target, name, data):
    folder = OUT / target
    folder.mkdir(parents=True, exist_ok=True)
    (folder / name).write_bytes(data)


def main():
    for old in OUT.glob("*/*"):
        if not old.name.startswith("found-"):
            old.unlink()
    for folder in disks():
        images = b"".join(sectors(folder, n) for n in
                          ("identify.hex", "smart-data.hex", "smart-thresholds.hex"))
        data = sectors(folder, "smart-data.hex")
        ids = [data[2 + 12 * k] for k in range(30) if data[2 + 12 * k]]
        records = [(i, 100, 100, 100) for i in ids]
        write("DiskImagesFuzz", folder.name, images + baseline(records, unit=2))
        write("BaselineFileFuzz", folder.name, baseline(records, unit=0))
        write("ReportTemplateFuzz", folder.name + "-identify",
              b"\x00\x02" + sectors(folder, "identify.hex") +
              (ROOT / "data/Template/HddInfo.temp").read_bytes())
        for name in ("identify.hex", "smart-data.hex", "smart-thresholds.hex"):
            if (folder / name).exists():
                write("SimFilesFuzz", f"{folder.name}-{name}", b"\x02" + (folder / name).read_bytes())
        write("SimFilesFuzz", f"{folder.name}-disk.ini", b"\x01" + (folder / "disk.ini").read_bytes())
    write("BaselineFileFuzz", "repeats", baseline([(5, 100, 90, 80), (9, 99, 99, 99), (5, 70, 60, 50)]))
    for folder in sorted((ROOT / "tests" / "fixtures" / "qemu-nvme").iterdir()):
        for k, name in enumerate(("nvme-identify-controller.hex", "nvme-identify-namespace.hex",
                                  "nvme-health.hex")):
            if (folder / name).exists():
                write("NvmeImagesFuzz", f"{folder.name}-{name}", bytes([k]) + hex_sector(folder / name))

    # Drive logs: selector byte, then the log's bytes.
    selftest = bytearray(512)
    selftest[0:2] = struct.pack("<H", 1)
    for k, (kind, status, hours) in enumerate(((1, 0x00, 100), (2, 0x70, 140), (0x7F, 0x10, 150))):
        at = 2 + 24 * k
        selftest[at] = kind
        selftest[at + 1] = status
        selftest[at + 2:at + 4] = struct.pack("<H", hours)
        selftest[at + 5:at + 9] = struct.pack("<I", 0x123456 if status == 0x70 else 0xFFFFFFFF)
    selftest[508] = 3
    write("DriveLogsFuzz", "ata-self-test-log", b"\x00" + bytes(selftest))
    errors = bytearray(512)
    errors[0], errors[1] = 1, 2
    for k in range(2):
        at = 2 + 90 * k + 60
        errors[at + 1:at + 7] = bytes([0x40, 1, 0x10, 0x20, 0x30, 0xE0])
        errors[at + 28:at + 30] = struct.pack("<H", 500 + k)
    errors[452:454] = struct.pack("<H", 2)
    write("DriveLogsFuzz", "ata-error-log", b"\x02" + bytes(errors))
    ext = bytearray(1024)
    ext[0] = 1
    ext[2:4] = struct.pack("<H", 1)
    write("DriveLogsFuzz", "ata-ext-logs", b"\x01" + bytes(ext))
    write("DriveLogsFuzz", "ata-ext-error-log", b"\x03" + bytes(ext))
    for folder in disks():
        write("DriveLogsFuzz", f"{folder.name}-capabilities", b"\x05" + sectors(folder, "smart-data.hex"))
    for folder in sorted((ROOT / "tests" / "fixtures" / "statistics-machine").iterdir()):
        if (folder / "device-statistics.hex").exists():
            write("DriveLogsFuzz", f"{folder.name}-statistics",
                  b"\x09" + hex_sector(folder / "device-statistics.hex"))
    nvme = bytearray(564)
    nvme[0] = 0
    nvme[4] = 0x10  # short test, no error
    nvme[8:16] = struct.pack("<Q", 1234)
    for k in range(1, 20):
        nvme[4 + 28 * k] = 0x0F
    write("DriveLogsFuzz", "nvme-self-test-log", b"\x06" + bytes(nvme))
    nvme_errors = bytearray(512)
    nvme_errors[0:8] = struct.pack("<Q", 7)
    write("DriveLogsFuzz", "nvme-error-log", b"\x07" + bytes(nvme_errors))
    for folder in sorted((ROOT / "tests" / "fixtures" / "qemu-nvme").iterdir()):
        if (folder / "nvme-identify-controller.hex").exists():
            write("DriveLogsFuzz", f"{folder.name}-controller",
                  b"\x08" + hex_sector(folder / "nvme-identify-controller.hex"))

    # Helper requests: format 1, kind 1 (ATA), 7 registers, flags; then a reply.
    for name, registers, flags in (("identify", [0, 1, 1, 0, 0, 0xA0, 0xEC], 1),
                                   ("read-data", [0xD0, 1, 1, 0x4F, 0xC2, 0xA0, 0xB0], 1),
                                   ("return-status", [0xDA, 0, 0, 0x4F, 0xC2, 0xA0, 0xB0], 0),
                                   ("write-dma", [0, 1, 0, 0, 0, 0xE0, 0xCA], 0)):
        request = bytes([1, 1] + registers + [flags])
        reply = struct.pack("<i", 0) + bytes([0, 1, 1, 0x4F, 0xC2, 0xA0, 0x50]) + bytes(512 * flags)
        write("HelperRequestFuzz", name, bytes([len(request)]) + request + reply)

    for name, text in (("defaults", b"[SysEnv]\r\nWndAlpha=200\r\nWndShow=1\r\nMaxTemp=55\r\n"
                                    b"MinTemp=25\r\nBaseColor=120\r\nWndLeft=10\r\nWndTop=20\r\n"),
                       ("odd", b"; comment\n[Other]\nA=1\n[SysEnv]\nMaxTemp=x9\nWndTop=+\n[SysEnv]\n")):
        write("HeatgaugeSettingsFuzz", name, text)

    write("SimFilesFuzz", "machine.ini",
          b"\x00" + (ROOT / "data/sample-machine/machine.ini").read_bytes())

    for name, size in (("HddSmartAtr.temp", 512), ("HddSmartThr.temp", 100), ("HddInfo.temp", 0)):
        image = sectors(disks()[0], "smart-data.hex")[:size]
        write("ReportTemplateFuzz", name, struct.pack("<H", size) + image +
              (ROOT / "data/Template" / name).read_bytes())

    description = (ROOT / "data/Template/VornDiskInfo.Smart.ja.txt").read_bytes()
    for ident in (1, 5, 194, 231):
        write("DescriptionFileFuzz", f"id-{ident}", bytes([ident]) + description)
    for k, line in enumerate(description.split(b"\n\x00")[:6]):
        write("CsvLineFuzz", f"line-{k}", b"\x03,\"" + line + b"\n\x00")
    write("CsvLineFuzz", "quoted", b"\x04,\"" + '"a,b",c,"d"\n'.encode("utf-16-le"))
    write("CsvLineFuzz", "sjis", b"\x03,\"" + "ＩＤ,名前,\"説明\"\n".encode("shift_jis"))

    aborted_descriptor = bytes([0x72, 0x0B, 0, 0, 0, 0, 0, 14, 0x09, 0x0C, 0, 0x04, 0, 0x01,
                                0, 0x01, 0, 0x4F, 0, 0xC2, 0, 0x51])
    aborted_fixed = bytes([0x70, 0, 0x0B, 0x04, 0x51, 0, 0x01, 10, 0, 0x01, 0x4F, 0xC2, 0, 0])
    rejected = bytes([0x70, 0, 0x05, 0, 0, 0, 0, 10, 0, 0, 0, 0, 0x20, 0])
    head = bytes([0x02, 0, 0, 0, 0, 0, 0x02, 0xB0])  # CHECK CONDITION, registers wanted
    for name, sense in (("descriptor", aborted_descriptor), ("fixed", aborted_fixed),
                        ("rejected", rejected)):
        write("SatSenseFuzz", name, head + sense)
    write("SatSenseFuzz", "good", bytes([0, 0, 0, 0, 0, 0, 0x01, 0xEC]))

    mounts = (b"sysfs /sys sysfs rw,nosuid 0 0\n/dev/sda1 / ext4 rw,relatime 0 0\n"
              b"/dev/sda2 /home/my\\040files ext4 rw 0 0\nserver:/export /net nfs4 rw 0 0\n")
    write("SystemTextsFuzz", "mounts", b"\x00" + mounts)
    write("SystemTextsFuzz", "escape", b"\x01/mnt/a\\040b\\011c\\134d\\012")
    write("SystemTextsFuzz", "os-release", b"\x02PRETTY_NAME=\"Debian GNU/Linux 12 (bookworm)\"\n"
          b"NAME=\"Debian GNU/Linux\"\nVERSION_ID=\"12\"\nID=debian\n")
    write("SystemTextsFuzz", "meminfo", b"\x03MemTotal:       16314660 kB\nMemFree:  1 kB\n"
          b"SwapTotal:             0 kB\n")
    write("SystemTextsFuzz", "cpuinfo", b"\x04processor\t: 0\nvendor_id\t: GenuineIntel\n"
          b"model name\t: Example CPU @ 2.00GHz\ncpu MHz\t\t: 1999.999\n\nprocessor\t: 1\n")
    write("SystemTextsFuzz", "oem", b"\x05Default string\x00Second\x00\x00")

    for k, name in enumerate((r"\\.\PhysicalDrive0", r"\\.\Scsi3:", r"\\.\SMARTVSD", "sda", "nvme0n1",
                              "mmcblk0", "cciss!c0d0",
                              r'\\testhost\root\cimv2:Win32_DiskPartition.DeviceID="Disk #1, Partition #2"',
                              r'\\HOST\root\cimv2:Win32_LogicalDisk.DeviceID="D:"')):
        write("DriveNamesFuzz", f"name-{k}", bytes([3]) + name.encode())

    # SENDCMDINPARAMS: buffer size, IDEREGS, drive number, reserved.
    sendcmd = struct.pack("<I", 512) + bytes([0, 1, 1, 0, 0, 0xA0, 0xEC, 0]) + bytes([0]) + bytes(22)
    first_disk = sectors(disks()[0], "identify.hex")
    write("DeviceRequestsFuzz", "smart-identify", bytes([1]) + struct.pack("<H", 528) + first_disk + sendcmd)
    ata = struct.pack("<HHBBBBII", 40, 2, 0, 0, 0, 0, 512, 10) + struct.pack("<II", 0, 40)
    ata += bytes(8) + bytes([0, 1, 1, 0, 0, 0xA0, 0xEC, 0])
    write("DeviceRequestsFuzz", "ata-pass-through", bytes([4]) + struct.pack("<H", 552) + first_disk + ata)
    ide = bytes([0, 1, 1, 0, 0, 0xA0, 0xEC, 0]) + struct.pack("<I", 512)
    write("DeviceRequestsFuzz", "ide-pass-through", bytes([5]) + struct.pack("<H", 524) + first_disk + ide)
    srb = struct.pack("<I", 28) + b"SCSIDISK" + struct.pack("<III", 60, 0x001B0501, 0) + struct.pack("<I", 512 + 16)
    write("DeviceRequestsFuzz", "miniport-identify", bytes([3]) + struct.pack("<H", 28 + 528) + first_disk + srb + sendcmd)


if __name__ == "__main__":
    main()

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

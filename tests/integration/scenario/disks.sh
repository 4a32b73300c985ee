# The disks of the main test guest (sourced by the boot and the checks).
# One row per disk: bus, model, serial, size, firmware (QEMU's ver=, empty for
# its default), what the checks expect of its path. The WDC and ST3 models run
# the model-text rules on real replies; sata0 and sata3 leave a gap so the
# port-to-host mapping shows; the PIIX disks sit on both channels, one as the
# slave of the primary.
MAIN_DISKS=(
    "sata0|WDC WD5000AAKS-00V1A0|WD-WCAWF1234567|64M|"
    "sata3|ST3500418AS|9VM1ABCD|48M|CC38"
    "pri-master|Maxtor 6Y080P0|Y2ABCDEF|40M|YAR41BW0"
    "pri-slave|ST380011A|5JV12345|32M|"
    "sec-master|IC35L040AVVN07-0|VNVB0ABC|24M|"
)
# A disk without ATA behind it: tried by the checker, then left out.
MAIN_VIRTIO_SIZE=16M
# The disk that carries a partition with a file system, mounted read-only.
MAIN_MOUNT_SERIAL=9VM1ABCD
MAIN_MOUNT_POINT=/mnt/data

# SCSI address the kernel gives each bus with the AHCI controller loaded first
# (six ports, one host each) and the PIIX channels after it.
main_scsi_address() {
    case $1 in
    sata[0-5]) echo "${1#sata}:0:0:0" ;;
    pri-master) echo "6:0:0:0" ;;
    pri-slave) echo "6:0:1:0" ;;
    sec-master) echo "7:0:0:0" ;;
    sec-slave) echo "7:0:1:0" ;;
    esac
}

main_size_bytes() {
    local size=$1
    case $size in
    *M) echo $((${size%M} * 1024 * 1024)) ;;
    *) echo "$size" ;;
    esac
}

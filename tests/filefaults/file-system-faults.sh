#!/usr/bin/env bash
# drivewatch's files on real file systems that fail: a full tmpfs and a full
# ext4, a folder remounted read-only, an immutable folder. Every write that
# fails must be said (one line, status 5), leave the old file as it was and
# leave no temporary behind; a watch reference that cannot be stored is said
# on every run. Needs root and a private mount namespace; ext4 also needs
# mkfs.ext4 and a loop device. Exits 77 (skipped) where the machine allows
# neither.
#   file-system-faults.sh <drivewatch> <sample machine folder>
set -euo pipefail
drivewatch=$(realpath "$1")
sample=$(realpath "$2")

if [ "${VORN_IN_NAMESPACE:-}" != 1 ]; then
    if [ "$(id -u)" != 0 ] || ! unshare -m --propagation private true 2>/dev/null; then
        echo "skipped: needs root and a mount namespace"
        exit 77
    fi
    VORN_IN_NAMESPACE=1 exec unshare -m --propagation private "$0" "$@"
fi

work=$(mktemp -d)
trap 'cd /; umount -l "$work/fs" 2>/dev/null || true; rm -rf "$work"' EXIT
# One healthy disk, so the status is the files' own (a failing disk's 3
# would outrank 5).
mkdir "$work/machine"
cp "$sample/machine.ini" "$work/machine/"
cp -r "$sample/0-sata-healthy" "$work/machine/"
export VORN_SIM="$work/machine" VORN_HISTORY="$work/history.sqlite" LANG=C.UTF-8
unset VORN_LANG LANGUAGE LC_ALL LC_MESSAGES
mkdir "$work/fs"

failures=0
fail() {
    echo "FAIL [$fs/$fault] $*"
    failures=$((failures + 1))
}

run() { # expected-status what args...
    local expected=$1 what=$2
    shift 2
    local status=0
    "$drivewatch" "$@" >"$work/out" 2>"$work/err" || status=$?
    if [ "$status" != "$expected" ]; then
        fail "$what: status $status, expected $expected: $(head -c 300 "$work/err")"
    elif [ "$expected" = 5 ] && ! grep -q "^drivewatch: [^ ].*: " "$work/err"; then
        fail "$what: no line names the file: $(head -c 300 "$work/err")"
    fi
}

fingerprint() { (cd "$work/fs/run" && find . -type f ! -name 'fill*' -printf '%p %s\n' | sort && cat ./*.dat ./*.watch reports/* 2>/dev/null | md5sum); }

no_temporaries() {
    if find "$work/fs/run" -name '.*.tmp.*' | grep -q .; then
        fail "temporaries left: $(find "$work/fs/run" -name '.*.tmp.*' | tr '\n' ' ')"
    fi
}

fill() {
    dd if=/dev/zero of="$work/fs/fill" bs=4k status=none 2>/dev/null || true
    # The last blocks a large write could not take.
    for i in $(seq 64); do head -c 512 /dev/zero >"$work/fs/fill.$i" 2>/dev/null || break; done
}

mount_fs() {
    case $fs in
    tmpfs) mount -t tmpfs -o size=512k tmpfs "$work/fs" ;;
    ext4)
        truncate -s 8M "$work/ext4.img"
        mkfs.ext4 -q -F "$work/ext4.img"
        mount -o loop "$work/ext4.img" "$work/fs"
        ;;
    esac
    mkdir -p "$work/fs/run/reports"
    cd "$work/fs/run"
    # The files every fault below must leave as they are.
    fault=setup
    run 0 "first baseline" --baseline
    run 0 "first reports" --save reports
    run 0 "first reference" --changes
    ls ./*.dat ./*.watch reports/*.smt_atr.txt >/dev/null || fail "the first runs wrote no files"
    # Each later write must replace them, so make them differ from what
    # the next run would write.
    for f in ./*.dat ./*.watch reports/*; do printf 'old ' >>"$f"; done
}

check_writes_fail() { # expected reason
    local before
    before=$(fingerprint)
    run 5 "baseline" --baseline
    run 5 "reports" --save reports
    [ "$(fingerprint)" = "$before" ] || fail "an old file changed"
    no_temporaries
    # A reference that cannot be stored is said on every run, not once.
    mkdir -p fresh && cd fresh 2>/dev/null && {
        run 5 "reference, first run" --changes
        run 5 "reference, second run" --changes
        cd ..
    }
    grep -q "$1" "$work/err" || fail "the reason is not \"$1\": $(head -c 300 "$work/err")"
}

file_systems=(tmpfs)
if command -v mkfs.ext4 >/dev/null && [ -e /dev/loop-control ]; then
    file_systems+=(ext4)
else
    echo "ext4: skipped (no mkfs.ext4 or loop devices)"
fi

for fs in "${file_systems[@]}"; do
    mount_fs

    fault=full
    mkdir -p fresh
    fill
    check_writes_fail "No space left on device"
    rm -f "$work/fs"/fill*
    rm -rf fresh

    fault=read-only
    mkdir -p fresh
    mount -o remount,ro "$work/fs"
    check_writes_fail "Read-only file system"
    mount -o remount,rw "$work/fs"
    rm -rf fresh

    if [ "$fs" = ext4 ]; then
        fault=immutable
        mkdir -p fresh
        chattr +i . fresh reports
        check_writes_fail "Operation not permitted"
        chattr -i . fresh reports
        rm -rf fresh
    fi

    fault=recovered
    run 0 "baseline after the faults" --baseline
    no_temporaries
    cd /
    umount "$work/fs"
    echo "$fs: done"
done

[ "$failures" = 0 ] && echo "every fault was said and left the old files whole"
exit $((failures > 0))

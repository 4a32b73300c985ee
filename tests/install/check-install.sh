#!/usr/bin/env bash
# Installs the build into a scratch prefix, checks the files against the
# expected layout, then moves the prefix elsewhere and runs drivewatch and the
# menu launcher from there: nothing may depend on the build folder.
# Usage: check-install.sh BUILD_DIR PRIVATE_LIBDIR
set -euo pipefail
build=$1
libdir=$2
here=$(cd "$(dirname "$0")" && pwd)
source "$here/layout.sh"

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
cmake --install "$build" --prefix "$scratch/root" >/dev/null

if ! diff -u <(expected_layout "$build/bin" "$libdir") <(actual_layout "$scratch/root"); then
    echo "check-install: the installed files differ from tests/install/expected-layout.txt" >&2
    exit 1
fi

# Every program and library finds the suite's libraries relative to itself.
for elf in "$scratch/root/bin/"* "$scratch/root/$libdir/"*.so; do
    runpath=$(readelf -d "$elf" | sed -n 's/.*(RUNPATH).*\[\(.*\)\]/\1/p')
    IFS=: read -ra entries <<<"$runpath"
    for entry in "${entries[@]}"; do
        if [[ $entry != '$ORIGIN'* ]]; then
            echo "check-install: $elf has RUNPATH entry $entry outside its prefix" >&2
            exit 1
        fi
    done
done

mv "$scratch/root" "$scratch/moved"
prefix=$scratch/moved
mkdir "$scratch/cwd" "$scratch/reports"
cd "$scratch/cwd"

if ldd "$prefix/bin/drivewatch" | awk '/libVorn/ { print $3 }' | xargs realpath |
    grep -v -- "^$prefix/$libdir/"; then
    echo "check-install: drivewatch loads a suite library from outside the prefix" >&2
    exit 1
fi
version=$("$prefix/bin/drivewatch" --version)
[[ $version == "drivewatch "* ]] || { echo "check-install: --version said '$version'" >&2; exit 1; }

status=0
VORN_SIM="$prefix/share/vorn/sample-machine" VORN_HISTORY="$scratch/history.sqlite" \
    "$prefix/bin/drivewatch" --json \
    --save "$scratch/reports" >"$scratch/out.json" || status=$?
if [ "$status" -ne 0 ] && [ "$status" -ne 3 ]; then
    echo "check-install: drivewatch on the installed sample machine exited $status" >&2
    exit 1
fi
grep -q '"disks"' "$scratch/out.json"
# The reports need the installed templates: three per disk.
reports=$(find "$scratch/reports" -name '*.txt' | wc -l)
disks=$(grep -o '"index"' "$scratch/out.json" | wc -l)
if [ "$disks" -eq 0 ] || [ "$reports" -ne $((3 * disks)) ]; then
    echo "check-install: $reports reports for $disks disks from the installed templates" >&2
    exit 1
fi

# drivewatch --serve starts the endpoint program from the private folder:
# a bad address comes back from that program, not from a missing one.
serve_err=$(VORN_SIM="$prefix/share/vorn/sample-machine" "$prefix/bin/drivewatch" --serve nowhere 2>&1 ||
    true)
case $serve_err in
*"--serve: nowhere is no ADDRESS:PORT"*) ;;
*)
    echo "check-install: drivewatch --serve from the moved prefix said: $serve_err" >&2
    exit 1
    ;;
esac

# The menu launcher starts a program in the per-user folder it creates.
mkdir "$scratch/stub"
printf '#!/bin/sh\necho "$PWD|$*"\n' >"$scratch/stub/DrivewatchMini"
chmod +x "$scratch/stub/DrivewatchMini"
sed "s|^exec \".*/\\\$program\"|exec \"$scratch/stub/\$program\"|" "$prefix/$libdir/vorn-start" \
    >"$scratch/vorn-start"
launch() { env -u XDG_DATA_HOME HOME="$scratch/home" "$@" sh "$scratch/vorn-start" DrivewatchMini -Vuda; }
expect() {
    [ "$1" = "$2" ] || { echo "check-install: launcher ran '$1', expected '$2'" >&2; exit 1; }
}
expect "$(launch)" "$scratch/home/.local/share/vorn|-Vuda"
expect "$(launch XDG_DATA_HOME=relative/path)" "$scratch/home/.local/share/vorn|-Vuda"
expect "$(launch XDG_DATA_HOME="$scratch/xdg")" "$scratch/xdg/vorn|-Vuda"
if sh "$scratch/vorn-start" rm -rf / 2>/dev/null; then
    echo "check-install: the launcher started a program that is not the suite's" >&2
    exit 1
fi
echo "check-install: layout, relocation, drivewatch and launcher ok"

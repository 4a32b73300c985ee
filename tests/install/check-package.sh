#!/usr/bin/env bash
# Builds the Debian package from the build, checks its file list against the
# expected layout and runs lintian on it (no errors allowed).
# Usage: check-package.sh BUILD_DIR PRIVATE_LIBDIR
set -euo pipefail
build=$1
libdir=$2
here=$(cd "$(dirname "$0")" && pwd)
source "$here/layout.sh"
for tool in cpack dpkg-deb dpkg-shlibdeps lintian; do
    command -v "$tool" >/dev/null || { echo "check-package: $tool is missing; skipped"; exit 77; }
done

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
cpack --config "$build/CPackConfig.cmake" -G DEB -B "$scratch" >"$scratch/cpack.log" 2>&1 ||
    { cat "$scratch/cpack.log" >&2; exit 1; }
deb=$(ls "$scratch"/vorn_*.deb)

dpkg-deb -x "$deb" "$scratch/root"
if ! diff -u <(expected_layout "$build/bin" "$libdir") <(actual_layout "$scratch/root/usr"); then
    echo "check-package: the package's files differ from tests/install/expected-layout.txt" >&2
    exit 1
fi
dpkg-deb -f "$deb" Depends | grep -q 'libqt6core6' ||
    { echo "check-package: Depends lacks Qt Core (shlibdeps did not run?)" >&2; exit 1; }
dpkg-deb -f "$deb" Depends | grep -q 'libqt6httpserver6' ||
    { echo "check-package: Depends lacks Qt HTTP Server (drivewatch --serve)" >&2; exit 1; }
dpkg-deb -f "$deb" Recommends | grep -qw 'smartmontools' ||
    { echo "check-package: Recommends lacks smartmontools (the drive database)" >&2; exit 1; }

errors=$(lintian --allow-root "$deb" 2>&1 | grep '^E:' || true)
if [ -n "$errors" ]; then
    printf 'check-package: lintian errors:\n%s\n' "$errors" >&2
    exit 1
fi
echo "check-package: $(basename "$deb") ok"

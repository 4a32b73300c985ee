#!/usr/bin/env bash
# Builds everything with warnings as errors, runs every test, then builds and
# runs the tests again under AddressSanitizer + UndefinedBehaviorSanitizer.
set -euo pipefail
cd "$(dirname "$0")"
root=$(pwd)
tools/ensure-packages.sh $(cat tools/build-packages.txt)

jobs=$(nproc)

build_and_test() {
    local dir=$1
    shift
    cmake -S "$root" -B "$dir" -DCMAKE_BUILD_TYPE=Debug "$@" >/dev/null
    cmake --build "$dir" -j "$jobs"
    ctest --test-dir "$dir" --output-on-failure -j "$jobs"
}

echo "== Build and test =="
# The /usr prefix makes the package test check the layout that ships.
build_and_test build -DCMAKE_INSTALL_PREFIX=/usr

echo "== Build and test under ASan + UBSan =="
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
# Integration tests boot a guest with the normal build; the sanitizer pass skips them.
VORN_SKIP_INTEGRATION=1 build_and_test build-asan -DVORN_SANITIZE=ON

echo "== Fuzz smoke: every parser's fuzz target for a few seconds =="
tools/fuzz.sh 5

echo "All tests passed."

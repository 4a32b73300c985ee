#!/usr/bin/env bash
# Runs every libFuzzer target of tests/fuzz for SECONDS each (default 60),
# one after the other, from the seed corpus kept in tests/fuzz/corpus.
# Builds them first in build-fuzz/ with clang. New inputs the fuzzer finds
# go to build-fuzz/corpus/<target>, crashes to build-fuzz/artifacts/.
# Prints one line per target; exits non-zero when a target fails.
# VORN_FUZZ_TARGETS="A B" runs only those targets; VORN_FUZZ_RUNS=N stops a
# target after N executions when that comes before SECONDS (a campaign).
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
seconds=${1:-60}
build=${VORN_FUZZ_BUILD:-$root/build-fuzz}

# VORN_FUZZ_BUILT=1 runs the targets as they are built, e.g. to go on with
# a campaign while the sources move on in parts no target reaches.
if [ -z "${VORN_FUZZ_BUILT:-}" ]; then
    cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++ \
        -DVORN_FUZZ=ON >/dev/null
    cmake --build "$build" -j "$(nproc)" --target vorn_fuzzers >/dev/null
fi

# Optimised code and no allocation stack traces or fill: three to six times
# the executions per second of a debug build, with the same checks on reads,
# writes and leaks.
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=1:malloc_context_size=0:max_malloc_fill_size=0:quarantine_size_mb=16}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
mkdir -p "$build/artifacts"
failed=0
for seeds in "$root"/tests/fuzz/corpus/*/; do
    target=$(basename "$seeds")
    if [ -n "${VORN_FUZZ_TARGETS:-}" ] && [[ " $VORN_FUZZ_TARGETS " != *" $target "* ]]; then
        continue
    fi
    work="$build/corpus/$target"
    mkdir -p "$work"
    log="$build/artifacts/$target.log"
    runs_limit=()
    [ -n "${VORN_FUZZ_RUNS:-}" ] && runs_limit=(-runs="$VORN_FUZZ_RUNS")
    if "$build/bin/$target" -max_total_time="$seconds" "${runs_limit[@]}" -timeout=10 -rss_limit_mb=2048 \
        -print_final_stats=1 -artifact_prefix="$build/artifacts/$target-" \
        "$work" "$seeds" >"$log" 2>&1; then
        status=ok
    else
        status=FAILED
        failed=1
    fi
    runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")
    cov=$(grep -o 'cov: [0-9]*' "$log" | tail -1 | cut -d' ' -f2)
    ft=$(grep -o 'ft: [0-9]*' "$log" | tail -1 | cut -d' ' -f2)
    printf '%-22s %-6s executions %-10s coverage %-6s features %s\n' \
        "$target" "$status" "${runs:-?}" "${cov:-?}" "${ft:-?}"
    if [ "$status" != ok ]; then
        tail -40 "$log"
    fi
done
exit $failed

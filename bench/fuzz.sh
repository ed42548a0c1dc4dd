#!/usr/bin/env bash
# Fuzzes every reader for a while: each target of fuzz/ (libFuzzer with AddressSanitizer and
# UndefinedBehaviorSanitizer) runs for the given time, one after another (one process, one core),
# from its seed corpus in fuzz/corpus/<target>/. The tree is not touched: what the fuzzer adds goes
# to a scratch folder, and any input that found something is copied to
# <build>/fuzz-findings/<target>/ (add it to the target's corpus as crash-<what> once the fault is
# mended, with a regression test in the reader's own test file).
#
#   bench/fuzz.sh [SECONDS] [TARGET...]
#                                  seconds per target (60 when not given); only the targets named
#                                  (e.g. history_import), every target when none is
#   NORAK_FUZZ_BUILD=dir           the clang build folder (build-fuzz)
#
# The build folder is configured (cmake -DNORAK_FUZZ=ON, clang++) and built when needed;
# clang and libFuzzer's runtime (Debian clang, libclang-rt-14-dev) are installed with apt-get
# when missing (as root, or through sudo). Per target it prints the executions, executions per
# second, coverage edges, the corpus size and the findings (crashes, leaks, property failures,
# running out of memory or time); the last line holds the totals. Exit status 1 when anything was
# found.
set -euo pipefail
cd "$(dirname "$0")/.."
SECONDS_PER_TARGET=${1:-60}
BUILD=${NORAK_FUZZ_BUILD:-build-fuzz}
case "$SECONDS_PER_TARGET" in
    '' | *[!0-9]*) echo "usage: bench/fuzz.sh [SECONDS] [TARGET...]" >&2; exit 2 ;;
esac
[ $# -gt 0 ] && shift

# The targets, in the order fuzz/CMakeLists.txt declares them.
mapfile -t DECLARED < <(sed -n 's/^norak_fuzz_target(\([a-z0-9_]*\).*/\1/p' fuzz/CMakeLists.txt)
if [ $# -eq 0 ]; then
    TARGETS=("${DECLARED[@]}")
else
    TARGETS=("$@")
    for t in "${TARGETS[@]}"; do
        if ! printf '%s\n' "${DECLARED[@]}" | grep -qx -- "$t"; then
            echo "bench/fuzz.sh: no target '$t'; the targets are: ${DECLARED[*]}" >&2
            exit 2
        fi
    done
fi

missing=()
for p in clang libclang-rt-14-dev; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
    sudo=()
    [ "$(id -u)" -ne 0 ] && sudo=(sudo)
    echo "Installing: ${missing[*]}"
    "${sudo[@]}" apt-get update -q
    "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends "${missing[@]}"
fi

if [ ! -f "$BUILD/build.ninja" ]; then
    cmake -S . -B "$BUILD" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++ \
        -DNORAK_FUZZ=ON -DNORAK_BUILD_TESTS=OFF >/dev/null
fi
cmake --build "$BUILD" -j "$(nproc)" >/dev/null

SCRATCH=$(mktemp -d /tmp/norak-fuzz.XXXXXX)
trap 'rm -rf "$SCRATCH"' EXIT
FINDINGS="$BUILD/fuzz-findings"
LOGS="$BUILD/fuzz-logs"
mkdir -p "$LOGS"

total_runs=0 total_edges=0 total_findings=0
for t in "${TARGETS[@]}"; do
    mkdir -p "$SCRATCH/$t/new" "$SCRATCH/$t/found"
    log="$LOGS/$t.log"
    # The first folder takes what the fuzzer adds; the seed corpus is only read.
    ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
        "$BUILD/fuzz/fuzz_$t" -max_total_time="$SECONDS_PER_TARGET" -print_final_stats=1 -timeout=10 \
        -rss_limit_mb=2048 -artifact_prefix="$SCRATCH/$t/found/" "$SCRATCH/$t/new" "fuzz/corpus/$t" \
        >"$log" 2>&1 || true
    runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
    rate=$(sed -n 's/^stat::average_exec_per_sec: *//p' "$log" | tail -1)
    edges=$({ grep -o 'cov: [0-9]*' "$log" || true; } | tail -1 | cut -d' ' -f2)
    seeds=$(find "fuzz/corpus/$t" -type f | wc -l)
    added=$(find "$SCRATCH/$t/new" -type f | wc -l)
    property=$(grep -c '^FUZZ PROPERTY FAILED' "$log" || true)
    leaks=$(grep -c 'ERROR: LeakSanitizer' "$log" || true)
    memory=$(grep -c -e 'out-of-memory' -e 'allocation-size-too-big' "$log" || true)
    slow=$(grep -c 'ERROR: libFuzzer: timeout' "$log" || true)
    artifacts=$(find "$SCRATCH/$t/found" -type f | wc -l)
    crashes=$((artifacts - property - leaks - memory - slow))
    [ "$crashes" -lt 0 ] && crashes=0
    findings=$((crashes + property + leaks + memory + slow))
    if [ "$artifacts" -gt 0 ]; then
        mkdir -p "$FINDINGS/$t"
        cp "$SCRATCH/$t/found/"* "$FINDINGS/$t/"
    fi
    printf 'fuzz %s: %s runs, %s exec/s, %s edges, corpus %s (%s seeds + %s new); crashes %s, leaks %s, property failures %s, out of memory %s, time-outs %s\n' \
        "$t" "${runs:-0}" "${rate:-0}" "${edges:-0}" "$((seeds + added))" "$seeds" "$added" \
        "$crashes" "$leaks" "$property" "$memory" "$slow"
    if [ "$findings" -gt 0 ]; then
        { grep -m3 -e '^FUZZ PROPERTY FAILED' -e 'ERROR: ' -e 'runtime error' "$log" || true; } | sed 's/^/    /'
        echo "    inputs: $FINDINGS/$t/  log: $log"
    fi
    total_runs=$((total_runs + ${runs:-0}))
    total_edges=$((total_edges + ${edges:-0}))
    total_findings=$((total_findings + findings))
done
printf 'fuzz total: %d targets, %s s each, %d runs, %d edges, %d findings\n' \
    "${#TARGETS[@]}" "$SECONDS_PER_TARGET" "$total_runs" "$total_edges" "$total_findings"
[ "$total_findings" -eq 0 ]

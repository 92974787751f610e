#!/bin/sh
# Builds the document file fuzzer, replays the kept findings, then fuzzes for a
# bounded time. Usage: fuzz/run.sh [seconds, default 60]
# The build goes to $TOLVANE_FUZZ_BUILD (default build-fuzz in the source tree);
# new corpus entries and crash inputs stay in that build directory.
set -eu

seconds=${1:-60}
root=$(cd "$(dirname "$0")/.." && pwd)
build=${TOLVANE_FUZZ_BUILD:-$root/build-fuzz}

cmake -S "$root" -B "$build" -DTOLVANE_FUZZ=ON \
    -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ >/dev/null
cmake --build "$build" -j2 --target fuzz_documentfile

fuzzer=$build/bin/fuzz_documentfile
work=$build/fuzz-documentfile
mkdir -p "$work/corpus" "$work/artifacts"

set -- "$root"/fuzz/regressions/*
if [ -e "$1" ]; then
    echo "Replaying $# kept findings"
    "$fuzzer" "$@"
fi

# The fuzzer's progress goes to a log; on a finding, its end is shown.
log=$work/fuzz.log
if ! "$fuzzer" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -max_len=65536 \
    -print_final_stats=1 -artifact_prefix="$work/artifacts/" \
    "$work/corpus" "$root/fuzz/corpus" >"$log" 2>&1; then
    tail -n 60 "$log"
    echo "The fuzzer found a failing input; it is in $work/artifacts/"
    exit 1
fi
grep -E '^(Done|stat::number_of_executed_units|stat::peak_rss_mb)' "$log" || true

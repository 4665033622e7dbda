#!/usr/bin/env bash
# Runs every benchmark program of a build tree.
set -euo pipefail
build=${1:-build}
found=0
for b in "$build"/bench/bench_*; do
    [ -x "$b" ] || continue
    found=1
    echo "== $(basename "$b")"
    "$b" --benchmark_counters_tabular=true
done
[ "$found" -eq 1 ] || echo "no benchmarks built"

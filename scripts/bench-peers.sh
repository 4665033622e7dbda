#!/usr/bin/env bash
# `make bench-peers`: tarvo and the libraries users know, on the same generated inputs in
# one run, as one table (figures are per item, or MB/s; ratios are what compare), followed
# by the verdicts on which tarvo and a peer disagree, by class.
set -euo pipefail
build=${1:-build}
mt940_mb=${MT940_MB:-50}
here=$(cd "$(dirname "$0")/.." && pwd)
shared=$(sed -n 's/^TARVO_SHARED_DIR:PATH=//p' "$build/CMakeCache.txt")

"$here/scripts/install-peers.sh" "$build"
cmake -S "$here" -B "$build" >/dev/null   # finds ktoblzcheck once it is installed
cmake --build "$build" -j "$(nproc)" --target bench_peer_programs

peers=$(cd "$build/peers" && pwd)
inputs="$peers/inputs"
verdicts="$peers/verdicts"
results="$peers/results.txt"
# The inputs are generated once; the seed is fixed, so they are the same on every machine.
if [ ! -s "$inputs/statements.sta" ]; then
    echo "generating inputs in $inputs"
    mkdir -p "$inputs"
    "$build/bench/peers_generate" "$shared" "$inputs" "$mt940_mb"
fi
rm -rf "$verdicts"
mkdir -p "$verdicts"
: >"$results"

run() { # name, command...
    local name=$1
    shift
    echo "running $name" >&2
    "$@" >>"$results" 2>>"$peers/$name.log" || echo "$name failed, see $peers/$name.log" >&2
}
tarvo_works=(ibans_mixed ibans_de accounts pain008 pain001 mt940)
run tarvo "$build/bench/peers_tarvo_side" "$inputs" "$verdicts" "${tarvo_works[@]}"
if [ -x "$build/bench/peers_ktoblzcheck" ]; then
    run ktoblzcheck "$build/bench/peers_ktoblzcheck" "$inputs" "$verdicts" ibans_mixed ibans_de accounts
fi
run node env NODE_PATH="$peers/node_modules" node "$here/bench/peers/node_side.js" "$inputs" "$verdicts" \
    ibans payments statements
run stdnum /usr/bin/python3 "$here/bench/peers/stdnum_side.py" "$inputs" "$verdicts"
# tarvo once more at the end: the report keeps each side's best, so a burst of load from
# elsewhere during one run does not decide a ratio.
run tarvo "$build/bench/peers_tarvo_side" "$inputs" "$verdicts" "${tarvo_works[@]}"

echo
echo "load average at the end: $(cut -d' ' -f1-3 /proc/loadavg)"
python3 "$here/bench/peers/report.py" "$results" "$inputs" "$verdicts"

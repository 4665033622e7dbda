#!/usr/bin/env bash
# Builds the statement parser's fuzz target with clang (libFuzzer, ASan, UBSan) and runs
# it for FUZZ_SECONDS (default 60). Crashing inputs are kept in build-fuzz/artifacts/.
set -euo pipefail
cd "$(dirname "$0")/.."

seconds=${FUZZ_SECONDS:-60}
out=${FUZZ_BUILD:-build-fuzz}
shared=${TARVO_SHARED_DIR:-../shared}

need=()
command -v clang++ >/dev/null 2>&1 || need+=(clang)
dpkg-query -W -f='${Status}' libclang-rt-14-dev 2>/dev/null | grep -q 'install ok installed' || need+=(libclang-rt-14-dev)
if [ "${#need[@]}" -gt 0 ]; then
    sudo=""
    [ "$(id -u)" -ne 0 ] && sudo="sudo"
    echo "installing: ${need[*]}"
    $sudo apt-get update
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y "${need[@]}"
fi

mkdir -p "$out/corpus" "$out/artifacts"
clang++ -std=c++20 -O1 -g -fno-omit-frame-pointer \
    -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=undefined \
    -Icore -I. \
    core/frame/*.cpp core/statement/*.cpp fuzz/fuzz_mt940.cpp \
    -ldl -lm -o "$out/fuzz_mt940"

seeds=()
[ -d "$shared/samples/mt940" ] && seeds+=("$shared/samples/mt940")

echo "fuzzing the MT940 reader for ${seconds}s"
UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1 \
    "$out/fuzz_mt940" -max_total_time="$seconds" -max_len=8192 -timeout=10 \
    -dict=fuzz/mt940.dict -artifact_prefix="$out/artifacts/" "$out/corpus" "${seeds[@]}"

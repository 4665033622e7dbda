#!/usr/bin/env bash
# Builds the libFuzzer targets listed in fuzz/targets with clang (coverage, ASan, UBSan)
# and runs them one after the other, each for FUZZ_SECONDS (default 60).
#   scripts/fuzz.sh               every listed target
#   scripts/fuzz.sh iban message  the named ones
# Each target keeps its corpus in build-fuzz/corpus/<name>/ and its crashing inputs in
# build-fuzz/artifacts/<name>/; a crash input belongs in fuzz/regressions/<name>/, from
# where the test suite replays it. The run stops at the first target that crashes.
set -euo pipefail
cd "$(dirname "$0")/.."

seconds=${FUZZ_SECONDS:-60}
out=${FUZZ_BUILD:-build-fuzz}
shared=${TARVO_SHARED_DIR:-../shared}
jobs=${JOBS:-$(nproc)}

need=()
command -v clang++ >/dev/null 2>&1 || need+=(clang)
for p in libclang-rt-14-dev libxml2-dev; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || need+=("$p")
done
if [ "${#need[@]}" -gt 0 ]; then
    sudo=""
    [ "$(id -u)" -ne 0 ] && sudo="sudo"
    echo "installing: ${need[*]}"
    $sudo apt-get update
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y "${need[@]}"
fi

declare -A max_len dict extra
listed=()
while read -r name length dictionary seeds; do
    case "$name" in ''|'#'*) continue ;; esac
    listed+=("$name")
    max_len[$name]=$length
    dict[$name]=$dictionary
    extra[$name]=$seeds
done < fuzz/targets

targets=("$@")
[ "${#targets[@]}" -eq 0 ] && targets=("${listed[@]}")
for name in "${targets[@]}"; do
    [ -n "${max_len[$name]:-}" ] || { echo "no fuzz target '$name' in fuzz/targets" >&2; exit 2; }
done

cmake -S . -B "$out" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ -DTARVO_FUZZ=ON \
    -DTARVO_BUILD_TESTS=OFF -DTARVO_BUILD_BENCH=OFF -DTARVO_SHARED_DIR="$(realpath -m "$shared")" \
    ${CMAKE_ARGS:-}
cmake --build "$out" -j "$jobs" --target "${targets[@]/#/fuzz_}"

for name in "${targets[@]}"; do
    mkdir -p "$out/corpus/$name" "$out/artifacts/$name"
    options=(-max_total_time="$seconds" -max_len="${max_len[$name]}" -timeout=10
             -artifact_prefix="$out/artifacts/$name/" -print_final_stats=1)
    [ "${dict[$name]}" != "-" ] && options+=(-dict="fuzz/${dict[$name]}")
    seeds=()
    for d in "fuzz/seeds/$name" "fuzz/regressions/$name"; do [ -d "$d" ] && seeds+=("$d"); done
    [ "${extra[$name]}" != "-" ] && [ -d "$shared/${extra[$name]}" ] && seeds+=("$shared/${extra[$name]}")
    echo "fuzzing $name for ${seconds}s"
    UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1 \
        "$out/fuzz/fuzz_$name" "${options[@]}" "$out/corpus/$name" "${seeds[@]}"
done

#!/usr/bin/env bash
# Builds the statement parser's fuzz targets with clang (libFuzzer, ASan, UBSan) and runs
# each for FUZZ_SECONDS (default 60). Crashing inputs are kept in build-fuzz/artifacts/.
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

# Each target fuzzes one reader: name, seed folder below the shared folder, dictionary.
targets=("mt940 samples/mt940 fuzz/mt940.dict" "camt samples/camt fuzz/camt.dict")
for target in "${targets[@]}"; do
    read -r name seeds_dir dict <<<"$target"
    mkdir -p "$out/corpus/$name" "$out/artifacts"
    clang++ -std=c++20 -O1 -g -fno-omit-frame-pointer \
        -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=undefined \
        -Icore -I. \
        core/frame/*.cpp core/statement/*.cpp "fuzz/fuzz_$name.cpp" \
        -lexpat -ldl -lm -o "$out/fuzz_$name"

    seeds=()
    [ -d "$shared/$seeds_dir" ] && seeds+=("$shared/$seeds_dir")

    echo "fuzzing the $name reader for ${seconds}s"
    UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1 \
        "$out/fuzz_$name" -max_total_time="$seconds" -max_len=8192 -timeout=10 \
        -dict="$dict" -artifact_prefix="$out/artifacts/" "$out/corpus/$name" "${seeds[@]}"
done

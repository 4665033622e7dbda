#!/usr/bin/env bash
# Installs the build into a scratch prefix and builds a C program against it twice: once
# through pkg-config and once through the CMake package.
set -euo pipefail
build=$1
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

cmake --install "$build" --prefix "$work/prefix" >/dev/null

export PKG_CONFIG_PATH="$work/prefix/lib/pkgconfig"
# shellcheck disable=SC2046
cc -std=c99 -Wall -Werror "$here/consumer.c" $(pkg-config --cflags --libs tarvo) -o "$work/by-pkg-config"
[ "$("$work/by-pkg-config")" = ok ]
# shellcheck disable=SC2046
cc -std=c99 -Wall -Werror "$here/consumer_qr.c" $(pkg-config --cflags --libs tarvo-qr) -o "$work/qr-by-pkg-config"
[ "$("$work/qr-by-pkg-config")" = ok ]

mkdir "$work/cmake"
cp "$here/consumer.cmake.txt" "$work/cmake/CMakeLists.txt"
cmake -S "$work/cmake" -B "$work/cmake/build" -DCMAKE_PREFIX_PATH="$work/prefix" \
    -DCONSUMER_SOURCE="$here/consumer.c" -DCONSUMER_QR_SOURCE="$here/consumer_qr.c" >/dev/null
cmake --build "$work/cmake/build" >/dev/null
[ "$("$work/cmake/build/consumer")" = ok ]
[ "$("$work/cmake/build/consumer_qr")" = ok ]
echo "installed library found through pkg-config and find_package"

#!/usr/bin/env bash
# Installs the build into a scratch prefix, builds a C program against it the four ways a
# user can (pkg-config tarvo and tarvo-static, the CMake targets tarvo::tarvo_shared and
# tarvo::tarvo), checks which library each binary depends on and runs it; then uninstalls
# and expects the prefix to be empty again.
#   install_test.sh <build dir>
set -euo pipefail
build=$1
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d)
# shellcheck source=keep_manifest.sh
. "$here/keep_manifest.sh"
keep_manifest "$build" "$work"

prefix="$work/prefix"
cmake --install "$build" --prefix "$prefix" >/dev/null
libdir=$(dirname "$(find "$prefix" -name libtarvo.a)")

fail() { echo "$*" >&2; exit 1; }
# A binary linked shared needs libtarvo.so.2 (its SONAME); one linked static needs no libtarvo.
check_binary() {
    local binary=$1 kind=$2 needs=no
    readelf -d "$binary" | grep 'NEEDED.*\[libtarvo\.so\.2\]' >/dev/null && needs=yes
    [ "$kind:$needs" = shared:yes ] || [ "$kind:$needs" = static:no ] || fail "$binary: not linked $kind"
    [ "$(LD_LIBRARY_PATH="$libdir" "$binary")" = ok ] || fail "$binary does not run"
}

export PKG_CONFIG_PATH="$libdir/pkgconfig"
# shellcheck disable=SC2046
cc -std=c99 -Wall -Werror "$here/consumer.c" $(pkg-config --cflags --libs tarvo) -o "$work/pc-shared"
check_binary "$work/pc-shared" shared
# shellcheck disable=SC2046
cc -std=c99 -Wall -Werror "$here/consumer.c" $(pkg-config --cflags --libs tarvo-static) -o "$work/pc-static"
check_binary "$work/pc-static" static
# The drawing library is an archive beside the core, named before it.
# shellcheck disable=SC2046
cc -std=c99 -Wall -Werror "$here/consumer_qr.c" $(pkg-config --cflags --libs tarvo-qr tarvo-static) -o "$work/pc-qr"
check_binary "$work/pc-qr" static

mkdir "$work/cmake"
cp "$here/consumer.cmake.txt" "$work/cmake/CMakeLists.txt"
for case in tarvo::tarvo_shared:shared tarvo::tarvo:static; do
    rm -rf "$work/cmake/build"
    cmake -S "$work/cmake" -B "$work/cmake/build" -DCMAKE_PREFIX_PATH="$prefix" \
        -DCONSUMER_SOURCE="$here/consumer.c" -DCONSUMER_QR_SOURCE="$here/consumer_qr.c" \
        -DTARVO_TARGET="${case%:*}" >/dev/null
    cmake --build "$work/cmake/build" >/dev/null
    check_binary "$work/cmake/build/consumer" "${case##*:}"
done
check_binary "$work/cmake/build/consumer_qr" static

# A PREFIX other than the install's is refused and removes nothing.
if cmake -DPREFIX="$work/elsewhere" -P "$build/uninstall.cmake" >/dev/null 2>&1; then
    fail "uninstall of a prefix never installed to succeeded"
fi
[ -f "$libdir/libtarvo.a" ] || fail "a refused uninstall removed files"
cmake -DPREFIX="$prefix" -P "$build/uninstall.cmake" >/dev/null
left=$(find "$prefix" -mindepth 1)
if [ -n "$left" ]; then
    echo "left behind after uninstall:" >&2
    echo "$left" >&2
    exit 1
fi
[ -d "$prefix" ] || fail "the prefix itself was removed"
echo "installed library linked shared and static through pkg-config and find_package; uninstalled"

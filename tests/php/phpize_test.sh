#!/usr/bin/env bash
# The PHP way of building the extension: libtarvo installed into a scratch prefix, the
# extension built from php/ with phpize against it (configure --with-tarvo=<prefix>, no
# PKG_CONFIG_PATH), linked statically, its .phpt tests run by make test, installed with
# make install, and loaded by php. Also loads the module of the CMake install into a prefix
# through the tarvo.ini it installed, stages a system-wide install, and reads the PIE metadata.
#   phpize_test.sh <cmake build dir> <source dir> <php> <phpize> <php-config> <shared dir>
set -euo pipefail
build=$1 source=$2 php=$3 phpize=$4 php_config=$5 shared=$6
work=$(mktemp -d)
# shellcheck source=../install/keep_manifest.sh
. "$source/tests/install/keep_manifest.sh"
keep_manifest "$build" "$work"

cmake --install "$build" --prefix "$work/prefix" >/dev/null
unset PKG_CONFIG_PATH

probe='echo phpversion("tarvo"), " ", TARVO::IBAN_format(TARVO::IBAN_normalize("de89 3704 0044 0532 0130 00")), "\n";'
expected="2.30 DE89 3704 0044 0532 0130 00"

# phpize writes into the extension's folder, so it works on a copy.
cp -r "$source/php" "$work/ext"
cd "$work/ext"
"$phpize" >/dev/null
./configure --with-php-config="$php_config" --with-tarvo="$work/prefix" >/dev/null
make -j2 >/dev/null
# The core is inside the module, not a library it loads.
# (grep without -q reads to the end: an early exit would fail the pipe under pipefail.)
if readelf -d modules/tarvo.so | grep 'NEEDED.*libtarvo' >/dev/null; then
    echo "the phpize build links libtarvo.so" >&2
    exit 1
fi
TARVO_SHARED_DIR="$shared" NO_INTERACTION=1 make test >"$work/make-test.log" 2>&1 ||
    { cat "$work/make-test.log"; exit 1; }
grep -Eq '^Tests passed *: *[1-9]' "$work/make-test.log" || { cat "$work/make-test.log"; exit 1; }
make install INSTALL_ROOT="$work/root" >/dev/null
module="$work/root$("$php_config" --extension-dir)/tarvo.so"
[ "$("$php" -n -d "extension=$module" -r "$probe")" = "$expected" ]
"$php" -n -d "extension=$module" --ri tarvo | grep -x 'Version => 2.30' >/dev/null

# The CMake install into a prefix: its tarvo.ini names the module's full path.
[ "$(PHP_INI_SCAN_DIR="$work/prefix/etc/php/conf.d" "$php" -r "$probe")" = "$expected" ]

# A system-wide install (staged): the module where this PHP looks, an ini loading it by name.
DESTDIR="$work/staged" cmake --install "$build" --prefix /usr >/dev/null
[ -f "$work/staged$("$php_config" --extension-dir)/tarvo.so" ]
grep -qx 'extension=tarvo' "$(find "$work/staged/etc" -name tarvo.ini)"
# Uninstalling the staged install takes every file back, the ini among them.
cmake -P "$build/uninstall.cmake" >/dev/null
left=$(find "$work/staged" ! -type d)
[ -z "$left" ] || { echo "left behind by the uninstall: $left" >&2; exit 1; }

"$php" -n -r '$c = json_decode(file_get_contents($argv[1]), true, 8, JSON_THROW_ON_ERROR);
    exit($c["type"] === "php-ext" && $c["php-ext"]["extension-name"] === "tarvo"
         && is_file(dirname($argv[1]) . "/" . $c["php-ext"]["build-path"] . "/config.m4") ? 0 : 1);' \
    "$source/composer.json"
echo "phpize build, tarvo.ini and PIE metadata work"

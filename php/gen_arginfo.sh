#!/bin/sh
# Generates tarvo_arginfo.h from tarvo.stub.php with PHP's own gen_stub.php.
#   gen_arginfo.sh <php binary> <gen_stub.php> <stub> <scratch dir>
# gen_stub.php wants the PHP parser library beside itself and would download it; Debian
# ships it (package php-parser), so the script runs from a scratch copy that finds it there.
set -eu
php=$1 gen_stub=$2 stub=$3 scratch=$4

parser=/usr/share/php/PhpParser
[ -d "$parser" ] || { echo "gen_arginfo.sh: $parser missing (install php-parser)" >&2; exit 1; }
version=$(sed -n 's/^ *\$version = "\([0-9.]*\)";/\1/p' "$gen_stub" | head -n 1)
mkdir -p "$scratch/PHP-Parser-$version/lib"
ln -sfn "$parser" "$scratch/PHP-Parser-$version/lib/PhpParser"
cp "$gen_stub" "$scratch/gen_stub.php"
"$php" "$scratch/gen_stub.php" "$stub"

#!/usr/bin/env bash
# Runs tarvotool on a few shipped examples: a conversion, an IBAN check, a BIC lookup
# and bank statements.
set -uo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
tool="$build/cli/tarvotool"
if [ ! -x "$tool" ]; then
    echo "no tarvotool in $build (build it first: make build)" >&2
    exit 1
fi

shared=$(sed -n 's/^TARVO_SHARED_DIR:PATH=//p' "$build/CMakeCache.txt" 2>/dev/null)
[ -n "$shared" ] || shared=../shared
statement="$shared/samples/mt940/jejik-sparkasse.txt"
camt="$shared/samples/camt/camt053.v2.multi.statement.xml"

show() {
    echo
    echo "== $1"
    shift
    echo "\$ tarvotool $*"
    "$tool" "$@"
    echo "(exit code $?)"
}

show "German account number and bank code to IBAN" convert DE 37040044 532013000
show "IBAN check" check DE89370400440532013000
show "IBAN check with a wrong check digit" check DE89370400440532013001
show "BIC lookup" bic COBADEFFXXX
show "Bank statement (MT940)" mt940 "$statement"
show "Bank statement (camt.053)" camt053 "$camt"
exit 0

#!/usr/bin/env bash
# libtarvo.so exports exactly what tarvo.h declares: every function and variable named there,
# and nothing of the library's inside (its process-wide state, the bound regex functions, C++
# symbols). The declared names are read from the preprocessed header, so a function added
# there is expected here without a change.
#   exports_test.sh <libtarvo.so> <tarvo.h>
set -euo pipefail
lib=$1 header=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# Functions: a tarvo name before "("; variables: the name an extern declaration ends with.
cc -E -P -x c "$header" | grep -v '^[[:space:]]*typedef' | tr '\n' ' ' | tr ';' '\n' |
    sed -nE -e 's/.*[^A-Za-z0-9_]((__)?tarvo_[A-Za-z0-9_]+)[[:space:]]*\(.*/\1/p' \
             -e 's/^[[:space:]]*extern[^(]*[^A-Za-z0-9_]((__)?tarvo_[A-Za-z0-9_]+)[[:space:]]*$/\1/p' |
    sort -u >"$work/declared"
nm -D --defined-only "$lib" | awk '$2 != "A" { sub(/@.*/, "", $3); print $3 }' | sort -u >"$work/exported"

[ "$(wc -l <"$work/declared")" -gt 30 ] || { echo "too few names read from $header" >&2; exit 1; }
status=0
if comm -23 "$work/declared" "$work/exported" | grep .; then
    echo "^ declared in tarvo.h, not exported" >&2
    status=1
fi
if comm -13 "$work/declared" "$work/exported" | grep .; then
    echo "^ exported, not declared in tarvo.h" >&2
    status=1
fi
soname=$(readelf -d "$lib" | sed -n 's/.*(SONAME).*\[\(.*\)\]/\1/p')
[ "$soname" = libtarvo.so.2 ] || { echo "SONAME '$soname', not libtarvo.so.2" >&2; status=1; }
[ $status = 0 ] && echo "$(wc -l <"$work/declared") names exported, as tarvo.h declares"
exit $status

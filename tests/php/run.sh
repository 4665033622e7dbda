#!/bin/sh
# Runs the .phpt tests of the PHP extension with PHP's own run-tests.php.
#   run.sh <php binary> <run-tests.php> <tarvo.so> <test dir> <scratch dir>
# run-tests.php writes its work files next to each test unless told otherwise, so they
# go to the scratch dir. Its exit status alone is not trusted: a run in which nothing
# passed (extension missing, tests not found) must fail too.
set -u
php=$1 runner=$2 extension=$3 tests=$4 scratch=$5

rm -rf "$scratch" && mkdir -p "$scratch" || exit 1
log="$scratch/run-tests.log"
NO_INTERACTION=1 TEST_PHP_EXECUTABLE="$php" REPORT_EXIT_STATUS=1 \
    "$php" -n "$runner" -q -n -p "$php" -d "extension=$extension" --show-diff --no-color \
    --temp-source "$tests" --temp-target "$scratch" "$tests" >"$log" 2>&1
status=$?
cat "$log"

[ "$status" -eq 0 ] || exit 1
grep -Eq '^Tests failed *: *0 ' "$log" || exit 1
grep -Eq '^Tests passed *: *[1-9]' "$log" || exit 1
if grep -Eq '^Tests skipped *: *[1-9]' "$log"; then exit 1; fi
exit 0

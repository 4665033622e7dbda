#!/bin/sh
# Runs the .phpt tests of the PHP extension with PHP's own run-tests.php.
#   run.sh <php binary> <run-tests.php> <tarvo.so> <test dir> <scratch dir>
# run-tests.php writes each test's script and results beside the test, so the tests are
# copied into the scratch dir first: the source tree stays clean and runs from several
# build dirs do not overwrite each other. Its exit status alone is not trusted: a run in
# which nothing passed (extension missing, tests not found) must fail too.
set -u
php=$1 runner=$2 extension=$3 tests=$4 scratch=$5

rm -rf "$scratch" && mkdir -p "$scratch" && cp "$tests"/*.phpt "$scratch"/ || exit 1
log="$scratch/run-tests.log"
NO_INTERACTION=1 TEST_PHP_EXECUTABLE="$php" REPORT_EXIT_STATUS=1 \
    "$php" -n "$runner" -q -n -p "$php" -d "extension=$extension" --show-diff --no-color \
    "$scratch" >"$log" 2>&1
status=$?
cat "$log"

[ "$status" -eq 0 ] || exit 1
grep -Eq '^Tests failed *: *0 ' "$log" || exit 1
grep -Eq '^Tests passed *: *[1-9]' "$log" || exit 1
if grep -Eq '^Tests skipped *: *[1-9]' "$log"; then exit 1; fi
exit 0

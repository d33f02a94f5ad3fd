#!/usr/bin/env bash
# Builds everything and runs every test headless: once on the embedded
# database, then every test that touches a database again on a throwaway
# PostgreSQL server, started here on 127.0.0.1 only and stopped again (also
# when a test fails), then once more on the embedded database in a second
# build (build-asan) made with AddressSanitizer, UndefinedBehaviorSanitizer
# and leak checking, where any report fails the test that made it. Before
# any of it, the code must keep the house's format and its layers' rules
# (scripts/check-format.sh, scripts/check-layers.sh): a violation ends the run.
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
"$here/scripts/setup.sh" --tests --packages
echo "== the format and the layers"
"$here/scripts/check-format.sh"
"$here/scripts/check-layers.sh"
"$here/scripts/setup.sh" "$here/build"
cd "$here/build"
export QT_QPA_PLATFORM=offscreen
jobs="$(nproc)"
status=0

echo "== tests on the embedded database (after ${SECONDS}s)"
ctest --output-on-failure -j"$jobs" || status=1

echo "== tests on the database server (after ${SECONDS}s)"
cluster="$(mktemp -d /tmp/library-pg.XXXXXX)"
trap '"$here/scripts/pgcluster.sh" stop "$cluster"' EXIT
settings="$("$here/scripts/pgcluster.sh" start "$cluster")"
LIBRARY_TEST_SERVER="$settings" ctest --output-on-failure -j"$jobs" -LE no-database || status=1
"$here/scripts/pgcluster.sh" stop "$cluster"
trap - EXIT

echo "== tests under the sanitizers, on the embedded database (after ${SECONDS}s)"
"$here/scripts/setup.sh" --sanitize "$here/build-asan"
cd "$here/build-asan"
# halt_on_error: the first report ends the program (UBSan's are fatal by
# their build flag); the leak check runs at every test program's exit.
export ASAN_OPTIONS="detect_leaks=1:halt_on_error=1:check_initialization_order=1:strict_string_checks=1"
export LSAN_OPTIONS="suppressions=$here/tests/sanitizers/lsan.supp:print_suppressions=0"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
# The leak checker's own stop-the-world tracer now and then crashes at a
# program's exit ("Tracer caught signal 11") after every test in it passed:
# a fault of the checker, not of the program. Only then are the failed
# programs run once more, and their second run decides.
if ! ctest --output-on-failure -j"$jobs" 2>&1 | tee ctest-sanitizers.log; then
    if grep -q "Tracer caught signal" ctest-sanitizers.log; then
        echo "== the leak checker's tracer crashed; the failed programs once more"
        ctest --output-on-failure --rerun-failed || status=1
    else
        status=1
    fi
fi

exit "$status"

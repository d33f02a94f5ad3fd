#!/usr/bin/env bash
# Builds everything and runs every test headless: once on the embedded
# database, then every test that touches a database again on a throwaway
# PostgreSQL server, started here on 127.0.0.1 only and stopped at the end
# (also when a test fails).
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
"$here/scripts/setup.sh" "$here/build"
cd "$here/build"
export QT_QPA_PLATFORM=offscreen
jobs="$(nproc)"
status=0

echo "== tests on the embedded database"
ctest --output-on-failure -j"$jobs" || status=1

echo "== tests on the database server"
cluster="$(mktemp -d /tmp/library-pg.XXXXXX)"
trap '"$here/scripts/pgcluster.sh" stop "$cluster"' EXIT
settings="$("$here/scripts/pgcluster.sh" start "$cluster")"
LIBRARY_TEST_SERVER="$settings" ctest --output-on-failure -j"$jobs" -LE no-database || status=1

exit "$status"

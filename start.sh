#!/usr/bin/env bash
# Builds the program and starts it on the embedded database.
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
"$here/scripts/setup.sh" "$here/build" veltrane librarydb
bin="$here/build/bin"
# The shipped settings open the embedded database; create it on first run only.
settings="$(head -n1 "$bin/Saves/Server.ini" | tr -d '\r')"
"$bin/librarydb" ensure "$settings"
exec "$bin/veltrane"

#!/usr/bin/env bash
# Builds the program and starts it, whatever the database does: the login
# window is where a clerk reads what is wrong and corrects the settings.
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
"$here/scripts/setup.sh" "$here/build" veltrane librarydb
bin="$here/build/bin"

# The first line of Saves/Server.ini: SERVER|UID|PWD|DATABASE.
settings="$(head -n1 "$bin/Saves/Server.ini" 2>/dev/null | tr -d '\r' || true)"
server="${settings%%|*}"
shopt -s extglob
server="${server##+([[:space:]])}"
server="${server%%+([[:space:]])}"

# The embedded database is made on the first run (and brought up to date
# later); an existing one is never overwritten. A server database is left to
# the login window: a server that is down or refuses must not keep the
# program from starting.
if [ "${server,,}" = "sqlite" ]; then
  if ! "$bin/librarydb" ensure "$settings"; then
    echo "start.sh: the embedded database could not be made or brought up to date (see above);" \
         "the program starts anyway and its login window tells what is wrong." >&2
  fi
fi
exec "$bin/veltrane"

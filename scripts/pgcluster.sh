#!/usr/bin/env bash
# A throwaway PostgreSQL cluster for the tests, on 127.0.0.1 only.
#
#   scripts/pgcluster.sh start DIR [--messages LOCALE]
#                                    makes and starts a cluster in DIR (a new
#                                    folder) on a free port; prints the settings
#                                    line "127.0.0.1,PORT|UID|PWD|postgres".
#                                    --messages words the server's messages in
#                                    LOCALE (e.g. zh_CN.UTF-8, which must exist:
#                                    scripts/setup.sh makes it)
#   scripts/pgcluster.sh stop DIR    stops it and removes DIR
#
# The server refuses to run as root: as root it runs as the account
# "postgres" that Debian's package makes.
set -euo pipefail
cmd="${1:-}"; dir="${2:-}"
usage="usage: $0 start DIR [--messages LOCALE] | stop DIR"
[ -n "$cmd" ] && [ -n "$dir" ] || { echo "$usage" >&2; exit 2; }
messages=""
if [ "${3:-}" = "--messages" ]; then
  [ -n "${4:-}" ] || { echo "$usage" >&2; exit 2; }
  messages="-c lc_messages=$4"
fi
bin="$(ls -d /usr/lib/postgresql/*/bin 2>/dev/null | sort -V | tail -n1)"
[ -x "$bin/initdb" ] || { echo "PostgreSQL server binaries not found (package postgresql)" >&2; exit 1; }

as_owner() {
  if [ "$(id -u)" -eq 0 ]; then runuser -u postgres -- "$@"; else "$@"; fi
}

case "$cmd" in
start)
  mkdir -p "$dir"
  [ "$(id -u)" -eq 0 ] && chown postgres: "$dir"
  pwfile="$dir/pw"
  password="lib-$(od -An -N6 -tx1 /dev/urandom | tr -d ' \n')"
  printf '%s\n' "$password" > "$pwfile"
  [ "$(id -u)" -eq 0 ] && chown postgres: "$pwfile"
  user=library
  as_owner "$bin/initdb" -D "$dir/data" -U "$user" --pwfile="$pwfile" -A scram-sha-256 \
    -E UTF8 --locale=C.UTF-8 >"$dir/initdb.log" 2>&1 || { cat "$dir/initdb.log" >&2; exit 1; }
  # A free port: a few random ones are tried until the server takes one.
  started=""
  for _ in 1 2 3 4 5 6 7 8; do
    port=$(( 20000 + RANDOM % 40000 ))
    (exec 3<>"/dev/tcp/127.0.0.1/$port") 2>/dev/null && continue  # taken
    if as_owner "$bin/pg_ctl" -D "$dir/data" -l "$dir/server.log" -w -t 60 \
         -o "-p $port -k $dir -h 127.0.0.1 -c fsync=off -c synchronous_commit=off -c full_page_writes=off -c max_connections=300 $messages" \
         start >/dev/null; then
      started=yes
      break
    fi
  done
  [ -n "$started" ] || { cat "$dir/server.log" >&2; exit 1; }
  echo "127.0.0.1,$port|$user|$password|postgres"
  ;;
stop)
  [ -d "$dir/data" ] && as_owner "$bin/pg_ctl" -D "$dir/data" -m immediate -w stop >/dev/null 2>&1 || true
  rm -rf "$dir"
  ;;
*) echo "$usage" >&2; exit 2 ;;
esac

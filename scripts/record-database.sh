#!/usr/bin/env bash
# A throwaway PostgreSQL cluster for the database record: the tests, the README's examples and the
# benchmarks run against it.
#
#   scripts/record-database.sh start [DIR] [--watch PID]
#       initialises a cluster in DIR (default: a new temporary folder), owned by an unprivileged
#       user (postgres when run as root), listening on a socket in DIR alone (no TCP port), with a
#       database qnt5200, its owner qnt5200_owner and a user qnt5200_station that may only read
#       the record's tables and add rows to them. Prints shell assignments: QNT_DB_DIR, ODBCINI
#       (an odbc.ini in DIR whose DSNs qnt5200_owner and qnt5200_line hold the passwords) and
#       QNT_DB_SOCKET.
#       With --watch, a guard stops and removes the cluster as soon as process PID has ended.
#   scripts/record-database.sh stop DIR
#       stops the cluster at once and removes DIR.
#   scripts/record-database.sh pause DIR | resume DIR
#       stops the server and starts it again, keeping its data: a server that is down.
# Exit code 77: PostgreSQL is not installed (scripts/install-deps.sh installs it).
set -euo pipefail

bin_dir() {
  local dir
  for dir in $(ls -d /usr/lib/postgresql/*/bin 2>/dev/null | sort -V -r); do
    [ -x "$dir/initdb" ] && [ -x "$dir/pg_ctl" ] && { echo "$dir"; return 0; }
  done
  return 1
}

# Runs a command as the cluster's owner: postgres when we are root, else ourselves.
as_owner() {
  if [ "$(id -u)" -eq 0 ]; then
    setpriv --reuid=postgres --regid=postgres --clear-groups --reset-env -- "$@"
  else
    "$@"
  fi
}

stop_cluster() {
  local dir=$1 bin pid
  [ -d "$dir" ] || return 0
  # A pooler started beside the cluster (the benches') leaves its pid file in the folder.
  for pid in "$dir"/*/pgbouncer.pid; do
    if [ -f "$pid" ]; then kill "$(cat "$pid")" 2>/dev/null || true; fi
  done
  if bin=$(bin_dir) && [ -f "$dir/data/postmaster.pid" ]; then
    as_owner "$bin/pg_ctl" -D "$dir/data" -m immediate -w -t 20 stop >/dev/null 2>&1 || true
  fi
  rm -rf "$dir"
}

# Starts or stops the server of the cluster in $1 (its data kept).
run_server() {
  local dir=$1 bin
  bin=$(bin_dir)
  if [ "$2" = start ]; then
    as_owner "$bin/pg_ctl" -D "$dir/data" -l "$dir/server.log" -w -t 30 \
      -o "-k $dir -c listen_addresses= -p 5432 -c fsync=off -c synchronous_commit=off" \
      start >/dev/null
  else
    as_owner "$bin/pg_ctl" -D "$dir/data" -m fast -w -t 30 stop >/dev/null
  fi
}

password() { head -c 18 /dev/urandom | base64 | tr -d '/+='; }

start_cluster() {
  local dir=${1:-} watch=${2:-}
  local bin
  if ! bin=$(bin_dir); then
    echo "record-database: PostgreSQL is not installed (no initdb in /usr/lib/postgresql/*/bin)" >&2
    return 77
  fi
  [ -n "$dir" ] || dir=$(mktemp -d "${TMPDIR:-/tmp}/qnt5200-db.XXXXXX")
  mkdir -p "$dir"
  dir=$(cd "$dir" && pwd)
  [ "$(id -u)" -ne 0 ] || chown postgres: "$dir"
  chmod 700 "$dir"
  if ! as_owner test -w "$dir"; then
    echo "record-database: $dir is out of reach of the postgres user (a folder above it is closed)" >&2
    rm -rf "$dir"
    return 1
  fi
  if [ -n "$watch" ]; then
    # The guard: whatever ends the watched process, the cluster does not outlive it.
    setsid bash -c 'while kill -0 "$1" 2>/dev/null && [ -d "$2" ]; do sleep 0.5; done
                    "$3" stop "$2"' guard "$watch" "$dir" "$(realpath "$0")" \
      </dev/null >/dev/null 2>&1 &
  fi
  local admin owner station
  admin=$(password) owner=$(password) station=$(password)
  printf '%s\n' "$admin" >"$dir/admin.pw"
  [ "$(id -u)" -ne 0 ] || chown postgres: "$dir/admin.pw"
  if ! as_owner "$bin/initdb" -D "$dir/data" -U qnt_admin --pwfile="$dir/admin.pw" \
    --auth=scram-sha-256 -E UTF8 --locale=C --no-sync >"$dir/initdb.log" 2>&1; then
    cat "$dir/initdb.log" >&2
    stop_cluster "$dir"
    return 1
  fi
  rm -f "$dir/admin.pw"
  if ! run_server "$dir" start; then
    cat "$dir/server.log" >&2
    stop_cluster "$dir"
    return 1
  fi
  PGPASSWORD=$admin "$bin/psql" -X -q -v ON_ERROR_STOP=1 -h "$dir" -p 5432 -U qnt_admin \
    -d postgres >/dev/null <<SQL
CREATE ROLE qnt5200_owner LOGIN PASSWORD '$owner';
CREATE ROLE qnt5200_station LOGIN PASSWORD '$station';
CREATE DATABASE qnt5200 OWNER qnt5200_owner;
REVOKE ALL ON DATABASE qnt5200 FROM PUBLIC;
GRANT CONNECT ON DATABASE qnt5200 TO qnt5200_station;
\connect qnt5200
REVOKE ALL ON SCHEMA public FROM PUBLIC;
GRANT USAGE ON SCHEMA public TO qnt5200_station;
ALTER DEFAULT PRIVILEGES FOR ROLE qnt5200_owner IN SCHEMA public
  GRANT SELECT, INSERT ON TABLES TO qnt5200_station;
SQL
  local driver="PostgreSQL Unicode"
  # Protocol 7.4-1: an error rolls the whole transaction back, as the record does anyway, instead
  # of a savepoint around each statement (two more exchanges with the server for each).
  (umask 077 && cat >"$dir/odbc.ini" <<INI)
[qnt5200_owner]
Driver = $driver
Servername = $dir
Port = 5432
Database = qnt5200
Username = qnt5200_owner
Password = $owner
Protocol = 7.4-1

[qnt5200_line]
Driver = $driver
Servername = $dir
Port = 5432
Database = qnt5200
Username = qnt5200_station
Password = $station
Protocol = 7.4-1
INI
  echo "QNT_DB_DIR=$dir"
  echo "ODBCINI=$dir/odbc.ini"
  echo "QNT_DB_SOCKET=$dir"
}

case "${1:-}" in
  start)
    shift
    dir="" watch=""
    while [ $# -gt 0 ]; do
      case "$1" in
        --watch) watch=$2; shift 2 ;;
        *) dir=$1; shift ;;
      esac
    done
    start_cluster "$dir" "$watch"
    ;;
  stop) stop_cluster "${2:?stop needs the cluster folder}" ;;
  pause) run_server "${2:?pause needs the cluster folder}" stop ;;
  resume) run_server "${2:?resume needs the cluster folder}" start ;;
  *) echo "usage: $0 start [DIR] [--watch PID] | stop DIR | pause DIR | resume DIR" >&2; exit 2 ;;
esac

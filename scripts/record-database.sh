#!/usr/bin/env bash
# A throwaway database server for the database record, PostgreSQL or MariaDB: the tests, the
# README's examples and the benchmarks run against it.
#
#   scripts/record-database.sh start [DIR] [--watch PID] [--engine postgresql|mariadb]
#       initialises a server in DIR (default: a new temporary folder), owned by an unprivileged
#       user (postgres or mysql when run as root), listening on a socket in DIR alone (no TCP
#       port), with a database qnt5200, its owner qnt5200_owner and a user qnt5200_station that
#       may only read the record's tables and add rows to them. Prints shell assignments: QNT_DB_DIR, ODBCINI
#       (an odbc.ini in DIR whose DSNs qnt5200_owner and qnt5200_line hold the passwords),
#       QNT_DB_SOCKET and QNT_DB_ENGINE. The engine is PostgreSQL unless --engine (or the
#       environment's QNT_DB_ENGINE) names another. With --watch, a guard stops and removes the
#       server as soon as process PID has ended.
#   scripts/record-database.sh describe DIR
#       prints the same assignments for the server already running in DIR (one that a test run
#       shares between its tests); fails when none runs there.
#   scripts/record-database.sh stop DIR
#       stops the server at once and removes DIR.
#   scripts/record-database.sh pause DIR | resume DIR
#       stops the server and starts it again, keeping its data: a server that is down.
# Exit code 77: the engine is not installed (scripts/install-deps.sh installs both).
set -euo pipefail

bin_dir() {
  local dir
  for dir in $(ls -d /usr/lib/postgresql/*/bin 2>/dev/null | sort -V -r); do
    [ -x "$dir/initdb" ] && [ -x "$dir/pg_ctl" ] && { echo "$dir"; return 0; }
  done
  return 1
}

# The unprivileged user that owns a server's files when we are root.
system_user() { [ "$engine" = mariadb ] && echo mysql || echo postgres; }

# Runs a command as the server's owner: its system user when we are root, else ourselves.
as_owner() {
  if [ "$(id -u)" -eq 0 ]; then
    local user
    user=$(system_user)
    setpriv --reuid="$user" --regid="$user" --clear-groups --reset-env -- "$@"
  else
    "$@"
  fi
}

# The engine of the server in $1, as its start wrote it down.
engine_of() { cat "$1/engine" 2>/dev/null || echo postgresql; }

stop_cluster() {
  local dir=$1 bin pid
  [ -d "$dir" ] || return 0
  engine=$(engine_of "$dir")
  if [ "$engine" = mariadb ]; then
    stop_mariadb "$dir" KILL
    rm -rf "$dir"
    return 0
  fi
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
  engine=$(engine_of "$dir")
  if [ "$engine" = mariadb ]; then
    if [ "$2" = start ]; then start_mariadb "$dir"; else stop_mariadb "$dir" TERM; fi
    return
  fi
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

# Stops the MariaDB server of $1 with signal $2 (TERM: shut down cleanly; KILL: at once) and
# waits, at most 30 s, for it to be gone.
stop_mariadb() {
  local dir=$1 pid tries=0
  [ -f "$dir/mariadbd.pid" ] || return 0
  pid=$(cat "$dir/mariadbd.pid")
  kill -"$2" "$pid" 2>/dev/null || true
  while kill -0 "$pid" 2>/dev/null && [ $tries -lt 300 ]; do sleep 0.1; tries=$((tries + 1)); done
  rm -f "$dir/mariadbd.pid"
}

# Starts the MariaDB server of $1 on its socket alone, and waits, at most 30 s, for it to answer.
start_mariadb() {
  local dir=$1 tries=0
  # The server forks nothing: run in the background, its pid noted by the server itself.
  as_owner /usr/sbin/mariadbd --no-defaults --datadir="$dir/data" --socket="$dir/mysqld.sock" \
    --pid-file="$dir/mariadbd.pid" --skip-networking --log-error="$dir/server.log" \
    --character-set-server=utf8mb4 --collation-server=utf8mb4_bin --skip-log-bin \
    --innodb-flush-log-at-trx-commit=0 --innodb-buffer-pool-size=32M --innodb-doublewrite=0 \
    --innodb-log-file-size=8M --skip-name-resolve </dev/null >/dev/null 2>&1 &
  until [ -S "$dir/mysqld.sock" ] && [ -f "$dir/mariadbd.pid" ] &&
    mariadb --no-defaults --socket="$dir/mysqld.sock" -u root -e 'SELECT 1' >/dev/null 2>&1; do
    tries=$((tries + 1))
    if [ $tries -gt 300 ]; then
      echo "record-database: MariaDB did not start in $dir" >&2
      return 1
    fi
    sleep 0.1
  done
}

# The same set-up as PostgreSQL's, on MariaDB: a database, its owner, the stations' user.
start_mariadb_server() {
  local dir=$1 owner station
  if ! [ -x /usr/sbin/mariadbd ] || ! command -v mariadb-install-db >/dev/null; then
    echo "record-database: MariaDB is not installed (no /usr/sbin/mariadbd)" >&2
    rm -rf "$dir"
    return 77
  fi
  owner=$(password) station=$(password)
  # root may log in without a password, on a socket that only this folder's owner can reach.
  if ! as_owner mariadb-install-db --no-defaults --datadir="$dir/data" \
    --auth-root-authentication-method=normal --skip-test-db --innodb-log-file-size=8M \
    --innodb-buffer-pool-size=8M --innodb-doublewrite=0 --skip-name-resolve \
    >"$dir/install.log" 2>&1; then
    cat "$dir/install.log" >&2
    stop_cluster "$dir"
    return 1
  fi
  if ! start_mariadb "$dir"; then
    cat "$dir/server.log" >&2
    stop_cluster "$dir"
    return 1
  fi
  mariadb --no-defaults --socket="$dir/mysqld.sock" -u root <<SQL
CREATE DATABASE qnt5200 CHARACTER SET utf8mb4 COLLATE utf8mb4_bin;
CREATE USER qnt5200_owner@localhost IDENTIFIED BY '$owner';
CREATE USER qnt5200_station@localhost IDENTIFIED BY '$station';
GRANT ALL PRIVILEGES ON qnt5200.* TO qnt5200_owner@localhost;
GRANT SELECT, INSERT ON qnt5200.* TO qnt5200_station@localhost;
SQL
  (umask 077 && cat >"$dir/odbc.ini" <<INI)
[qnt5200_owner]
Driver = MariaDB Unicode
Socket = $dir/mysqld.sock
Database = qnt5200
User = qnt5200_owner
Password = $owner
Charset = utf8mb4

[qnt5200_line]
Driver = MariaDB Unicode
Socket = $dir/mysqld.sock
Database = qnt5200
User = qnt5200_station
Password = $station
Charset = utf8mb4
INI
  echo "QNT_DB_DIR=$dir"
  echo "ODBCINI=$dir/odbc.ini"
  echo "QNT_DB_SOCKET=$dir/mysqld.sock"
  echo "QNT_DB_ENGINE=mariadb"
}

start_cluster() {
  local dir=${1:-} watch=${2:-}
  local bin
  if [ "$engine" != mariadb ] && ! bin=$(bin_dir); then
    echo "record-database: PostgreSQL is not installed (no initdb in /usr/lib/postgresql/*/bin)" >&2
    return 77
  fi
  [ -n "$dir" ] || dir=$(mktemp -d "${TMPDIR:-/tmp}/qnt5200-db.XXXXXX")
  mkdir -p "$dir"
  dir=$(cd "$dir" && pwd)
  [ "$(id -u)" -ne 0 ] || chown "$(system_user):" "$dir"
  chmod 700 "$dir"
  if ! as_owner test -w "$dir"; then
    echo "record-database: $dir is out of reach of the $(system_user) user (a folder above it is closed)" >&2
    rm -rf "$dir"
    return 1
  fi
  echo "$engine" >"$dir/engine"
  if [ -n "$watch" ]; then
    # The guard: whatever ends the watched process, the cluster does not outlive it.
    setsid bash -c 'while kill -0 "$1" 2>/dev/null && [ -d "$2" ]; do sleep 0.5; done
                    "$3" stop "$2"' guard "$watch" "$dir" "$(realpath "$0")" \
      </dev/null >/dev/null 2>&1 &
  fi
  [ "$engine" != mariadb ] || { start_mariadb_server "$dir"; return; }
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
  echo "QNT_DB_ENGINE=postgresql"
}

engine=${QNT_DB_ENGINE:-postgresql}
case "${1:-}" in
  start)
    shift
    dir="" watch=""
    while [ $# -gt 0 ]; do
      case "$1" in
        --watch) watch=$2; shift 2 ;;
        --engine) engine=$2; shift 2 ;;
        *) dir=$1; shift ;;
      esac
    done
    case "$engine" in
      postgresql | mariadb) ;;
      *) echo "record-database: no engine $engine (postgresql or mariadb)" >&2; exit 2 ;;
    esac
    start_cluster "$dir" "$watch"
    ;;
  describe)
    dir=${2:?describe needs the server folder}
    if [ ! -f "$dir/odbc.ini" ] || [ ! -f "$dir/engine" ]; then
      echo "record-database: no server was started in $dir" >&2
      exit 1
    fi
    echo "QNT_DB_DIR=$dir"
    echo "ODBCINI=$dir/odbc.ini"
    if [ "$(engine_of "$dir")" = mariadb ]; then
      echo "QNT_DB_SOCKET=$dir/mysqld.sock"
    else
      echo "QNT_DB_SOCKET=$dir"
    fi
    echo "QNT_DB_ENGINE=$(engine_of "$dir")"
    ;;
  stop) stop_cluster "${2:?stop needs the cluster folder}" ;;
  pause) run_server "${2:?pause needs the cluster folder}" stop ;;
  resume) run_server "${2:?resume needs the cluster folder}" start ;;
  *) echo "usage: $0 start [DIR] [--watch PID] [--engine postgresql|mariadb] | describe DIR | stop DIR | pause DIR | resume DIR" >&2; exit 2 ;;
esac

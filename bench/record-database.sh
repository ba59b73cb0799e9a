#!/usr/bin/env bash
# The database record's costs, against a throwaway PostgreSQL cluster (scripts/record-database.sh):
# 1. A run's cost: "-w -i board.ini -s" with and without "-t odbc:DSN=qnt5200_line", against a
#    database holding no board and one holding BOARDS_IN_DATABASE (default 1,000,000) programmed
#    boards. Target: the record adds at most 20 ms (medians) and 16 MB (peak resident memory) to
#    a run, and a full database costs what an empty one does. Then the full database again,
#    through a pooler on the station (PgBouncer), which saves the run the server's start of a
#    process and the password exchange.
# 2. Stations through one server: K=1, then K=8 stations, each programming STATION_BOARDS boards
#    (default 4) in a row on its own adapter with "-w -i board.ini -s -t odbc:... -l 1000fd" from
#    one shared board.ini; the link comes up 2 s after each restart, as in bench/stations.sh.
#    Target: eight stations reach eight times one station's boards per hour, within 10%; no MAC
#    address on two boards, every board's outcome in the record.
set -euo pipefail
cd "$(dirname "$0")/.."
boards_in_database=${BOARDS_IN_DATABASE:-1000000}
boards=${STATION_BOARDS:-4}
command -v hyperfine >/dev/null || scripts/install-deps.sh
source bench/setup.sh
cmake --build --preset release --target qnt5200-record >/dev/null
rec=$PWD/build/release/src/qnt5200-record

cluster=$(scripts/record-database.sh start --watch $$)
eval "$cluster"
export ODBCINI
trap 'scripts/record-database.sh stop "$QNT_DB_DIR"; rm -rf "$work"' EXIT
"$rec" init odbc:DSN=qnt5200_owner >/dev/null
line=odbc:DSN=qnt5200_line

# The password of the cluster's DSN $1, which only its odbc.ini holds.
dsn_password() {
  awk -F' = ' -v dsn="[$1]" '$0 == dsn { on = 1 } on && $1 == "Password" { print $2; exit }' \
    "$ODBCINI"
}

# SQL as the database's owner.
owner_sql() {
  local password bin
  password=$(dsn_password qnt5200_owner)
  bin=$(ls -d /usr/lib/postgresql/*/bin | sort -V | tail -1)
  PGPASSWORD=$password "$bin/psql" -X -q -v ON_ERROR_STOP=1 -h "$QNT_DB_SOCKET" -p 5432 \
    -U qnt5200_owner -d qnt5200 "$@"
}

# |count| programmed boards, MAC addresses from 02:00:00:00:00:00 on (none the benches step to).
fill() {
  local count=$1
  owner_sql <<SQL
INSERT INTO qnt5200_mac (mac_address, run_id)
  SELECT upper(regexp_replace(lpad(to_hex(2199023255552 + n), 12, '0'), '(..)(?!$)', '\1:', 'g')),
         'fill|' || n
  FROM generate_series(0, $count - 1) AS n;
INSERT INTO qnt5200_serial (serial_number, mac_address, run_id)
  SELECT 'F' || lpad(to_hex(n), 11, '0'), '', 'fill|' || n FROM generate_series(0, $count - 1) AS n;
INSERT INTO qnt5200_line (run_id, kind, recorded_at, line_order, line_time, adapter, chip, memory,
    mac_address, serial_number, image_length, crc32, file_name, result, written, verified, station,
    duration_ms, error)
  SELECT 'fill|' || n, k.kind, TIMESTAMP '2026-01-01 00:00:00' + n * INTERVAL '1 second', 0,
         '2026-01-01T00:00:10Z', 0, 'qnt5230', 'eeprom', m.mac_address,
         'F' || lpad(to_hex(n), 11, '0'), 302, '00000000', 'board.ini',
         CASE k.kind WHEN 'reserve' THEN 'reserved' ELSE '0' END,
         CASE k.kind WHEN 'reserve' THEN 'no' ELSE 'yes' END,
         CASE k.kind WHEN 'reserve' THEN 'no' ELSE 'yes' END, 'st' || (n % 8), 10000, ''
  FROM generate_series(0, $count - 1) AS n
  JOIN qnt5200_mac m ON m.run_id = 'fill|' || n
  CROSS JOIN (VALUES ('reserve'), ('outcome')) AS k(kind);
SQL
  # Vacuumed now, so that the server's own vacuum of a million new rows runs before the timing.
  owner_sql -c 'VACUUM (ANALYZE) qnt5200_mac' -c 'VACUUM (ANALYZE) qnt5200_serial' \
    -c 'VACUUM (ANALYZE) qnt5200_line'
}

# A pooler on the station (PgBouncer, session pooling): it keeps the server's processes, logged
# in, from one run to the next, and takes the station without a password on a socket in the
# cluster's folder, which no other user may enter. The DSN qnt5200_pooled reaches it. The
# cluster's stop stops it too.
start_pooler() {
  if [ ! -x /usr/sbin/pgbouncer ]; then
    local sudo=""
    [ "$(id -u)" -eq 0 ] || sudo=sudo
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq pgbouncer >/dev/null
  fi
  local dir=$QNT_DB_DIR/pooler password
  password=$(dsn_password qnt5200_line)
  mkdir -p "$dir"
  cat >"$dir/pgbouncer.ini" <<INI
[databases]
qnt5200 = host=$QNT_DB_SOCKET port=5432 dbname=qnt5200 user=qnt5200_station password=$password
[pgbouncer]
listen_addr =
unix_socket_dir = $dir
listen_port = 6432
auth_type = trust
auth_file = $dir/users.txt
pool_mode = session
ignore_startup_parameters = extra_float_digits
logfile = $dir/pgbouncer.log
pidfile = $dir/pgbouncer.pid
INI
  echo '"qnt5200_station" ""' >"$dir/users.txt"
  local run=()
  if [ "$(id -u)" -eq 0 ]; then
    chown -R postgres: "$dir"
    run=(setpriv --reuid=postgres --regid=postgres --clear-groups --)
  fi
  chmod 700 "$dir"
  "${run[@]}" /usr/sbin/pgbouncer -d "$dir/pgbouncer.ini"
  cat >>"$ODBCINI" <<INI

[qnt5200_pooled]
Driver = PostgreSQL Unicode
Servername = $dir
Port = 6432
Database = qnt5200
Username = qnt5200_station
Protocol = 7.4-1
INI
}

# Median and mean of hyperfine's runs of "-w" without and with the record; peak memory of each.
cost() {
  local label=$1 dir=$work/cost-$1  # $2: a digit of its own for the MAC address range
  local line=${3:-$line}            # $3: the record, if not the line's
  mkdir -p "$dir"
  # A range of its own for each measurement, far from the filled boards.
  sed "s/^CurrentMacAddress = .*/CurrentMacAddress = 00:11:22:4$2:00:00/;
       s/^MaximumMacAddress = .*/MaximumMacAddress = 00:11:22:4$2:FF:FF/;
       s/^CurrentSerialNumber = .*/CurrentSerialNumber = 0000${2}0000001/" examples/board.ini \
    >"$dir/plain.ini"
  cp "$dir/plain.ini" "$dir/record.ini"
  (cd "$dir" && hyperfine --warmup 5 --runs 60 -N --export-json times.json \
    "$tool -w -i plain.ini -s" "$tool -w -i record.ini -s -t $line" | grep -E 'Time|Benchmark')
  local plain_kb record_kb
  plain_kb=$(cd "$dir" && /usr/bin/time -f %M "$tool" -w -i plain.ini -s 2>&1 >/dev/null | tail -1)
  record_kb=$(cd "$dir" && /usr/bin/time -f %M "$tool" -w -i record.ini -s -t "$line" 2>&1 \
    >/dev/null | tail -1)
  python3 - "$dir/times.json" "$plain_kb" "$record_kb" "$label" <<'PY'
import json, sys
plain, record = json.load(open(sys.argv[1]))["results"]
extra_ms = (record["median"] - plain["median"]) * 1e3
extra_mb = (int(sys.argv[3]) - int(sys.argv[2])) / 1024
verdict = "ok" if extra_ms <= 20 and extra_mb <= 16 else "OVER TARGET"
print(f"{sys.argv[4]}: without -t median {plain['median'] * 1e3:.2f} ms, with -t "
      f"{record['median'] * 1e3:.2f} ms (means {plain['mean'] * 1e3:.2f} / "
      f"{record['mean'] * 1e3:.2f}): +{extra_ms:.2f} ms; peak memory {int(sys.argv[2]) / 1024:.1f} "
      f"/ {int(sys.argv[3]) / 1024:.1f} MB: +{extra_mb:.1f} MB (target <= 20 ms, 16 MB) {verdict}")
PY
}

echo "== a run's cost, empty database"
cost empty 1
echo "== filling the database with $boards_in_database boards"
start=$(date +%s)
fill "$boards_in_database"
echo "filled in $(($(date +%s) - start)) s: $(owner_sql -t -c 'SELECT COUNT(*) FROM qnt5200_mac' | tr -d ' ') identities"
echo "== a run's cost, $boards_in_database boards in the database"
cost full 2
echo "== a run's cost, $boards_in_database boards in the database, through a pooler on the station"
start_pooler
cost pooled 3 odbc:DSN=qnt5200_pooled

source bench/station_runs.sh

# K stations from a fresh INI file; prints the boards per hour they reached.
stations() {
  local k=$1 dir=$work/stations$1 rate
  mkdir -p "$dir"
  # A range of its own for each K, far from the filled boards.
  sed "s/^CurrentMacAddress = .*/CurrentMacAddress = 00:11:22:3$k:00:00/;
       s/^MaximumMacAddress = .*/MaximumMacAddress = 00:11:22:3$k:FF:FF/;
       s/^CurrentSerialNumber = .*/CurrentSerialNumber = 00000${k}000001/" examples/board.ini \
    >"$dir/board.ini"
  rate=$(run_stations "$k" "$dir" "$line") || return 1
  local programmed
  programmed=$(owner_sql -t -c "SELECT COUNT(*) FROM qnt5200_line
    WHERE kind = 'outcome' AND written = 'yes' AND result = '0'
    AND mac_address LIKE '00:11:22:3$k:%'" | tr -d ' ')
  if [ "$programmed" != $((k * boards)) ]; then
    echo "$programmed outcomes of programmed boards in the record, $((k * boards)) programmed" >&2
    return 1
  fi
  echo "$rate"
}

echo "== stations through one server ($boards boards each)"
one=$(stations 1)
eight=$(stations 8)
"$rec" check "$line" >/dev/null || { echo "check found an identity on two boards" >&2; exit 1; }
awk -v one="$one" -v eight="$eight" 'BEGIN {
  ratio = eight / one
  printf "1 station: %d boards per hour, 8 stations: %d per hour: %.2f times (target 7.2 to 8.8) %s\n",
    one, eight, ratio, (ratio >= 7.2 ? "ok" : "UNDER TARGET") }'

#!/usr/bin/env bash
# One station of the Windows test build under Wine, whose odbc32 hands its calls to the host's
# unixODBC, against the same PostgreSQL server as a station of the Linux build: each programs a
# board from one shared INI file with -t odbc:DSN=qnt5200_line, the second identity the first one's
# next; then the Windows station is refused the Linux station's. Skips (exit 0, saying so) without Wine or PostgreSQL.
# Usage: database.sh WINDOWS_TEST_EXE LINUX_BINARY
set -euo pipefail
windows_exe=$(realpath "$1")
linux_binary=$(realpath "$2")
root=$(realpath "$(dirname "$0")/../..")
command -v wine >/dev/null || { echo "database.sh: skipped, Wine is not installed"; exit 0; }
work=$(mktemp -d)
set +e
cluster=$("$root/scripts/record-database.sh" start --watch $$)
code=$?
set -e
if [ "$code" -eq 77 ]; then
  echo "database.sh: skipped, PostgreSQL is not installed"
  rm -rf "$work"
  exit 0
fi
[ "$code" -eq 0 ] || exit 1
eval "$cluster"
export ODBCINI
trap '"$root/scripts/record-database.sh" stop "$QNT_DB_DIR"; rm -rf "$work"' EXIT
export WINEDEBUG=-all WINEPREFIX="$work/wine" QNT5200_EMU_DIR="$work/adapters"
emu=$(dirname "$linux_binary")/../emu/qnt5200-emu
"$(dirname "$linux_binary")/qnt5200-record" init odbc:DSN=qnt5200_owner >/dev/null
"$emu" create --adapter 0 >/dev/null
"$emu" create --adapter 1 >/dev/null
cp "$root/examples/board.ini" "$work/board.ini"
cd "$work"
wine "$windows_exe" -X 0 -w -i board.ini -s -t odbc:DSN=qnt5200_line >wine.log 2>&1 || {
  echo "database.sh: the Windows station failed:"; cat wine.log; exit 1; }
"$linux_binary" -X 1 -w -i board.ini -s -t odbc:DSN=qnt5200_line >linux.log 2>&1 || {
  echo "database.sh: the Linux station failed:"; cat linux.log; exit 1; }
sed 's/^CurrentMacAddress = .*/CurrentMacAddress = 00:11:22:33:44:56/' board.ini >back.ini
wine "$windows_exe" -X 0 -w -i back.ini -t odbc:DSN=qnt5200_line >refused.log 2>&1 && {
  echo "database.sh: the Windows station took a MAC address the Linux station holds"; exit 1; }
"$(dirname "$linux_binary")/qnt5200-record" export odbc:DSN=qnt5200_line record.csv >/dev/null
expected="00:11:22:33:44:55,0,yes 00:11:22:33:44:55,reserved,no 00:11:22:33:44:56,0,yes 00:11:22:33:44:56,10,refused 00:11:22:33:44:56,reserved,no"
# Runs of one second have no order among them.
got=$(awk -F, 'NR > 1 { print $5 "," $10 "," $11 }' record.csv | LC_ALL=C sort | paste -sd' ')
if [ "$got" != "$expected" ]; then
  echo "database.sh: the record holds \"$got\", not \"$expected\""
  cat record.csv
  exit 1
fi
echo "database.sh: a Windows and a Linux station shared one server: ok"

#!/usr/bin/env bash
# Runs the Windows build under Wine and compares what it prints, and its exit code, with the
# Linux build's: help, a command-line error, and a machine without the controller's driver; then
# qnt5200-image (found beside each program) on image files the Linux build generates, and
# qnt5200-record on a record written here.
# Usage: smoke.sh WINDOWS_EXE LINUX_BINARY
set -uo pipefail
windows_exe=$(realpath "$1")
linux_binary=$(realpath "$2")
example_ini=$(realpath "$(dirname "$0")/../../examples/board.ini")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export WINEDEBUG=-all WINEPREFIX="$work/wine"
export QNT5200_EMU_DIR="$work/no-adapters"

# The program name in the usage lines, Windows line ends and the build line differ by nature.
normalize() {
  sed -e 's/\r$//' -e 's/^Usage: [^ ]* /Usage: PROGRAM /' \
      -e 's/ (Built at .* on .*)$/ (Built at TIME on DATE)/'
}

failures=0
check() {
  local name=$1
  shift
  local linux_out windows_out linux_code windows_code
  linux_out=$("$linux_binary" "$@" </dev/null 2>/dev/null | normalize)
  linux_code=${PIPESTATUS[0]}
  windows_out=$(wine "$windows_exe" "$@" </dev/null 2>/dev/null | normalize)
  windows_code=${PIPESTATUS[0]}
  if [ "$linux_out" != "$windows_out" ] || [ "$linux_code" != "$windows_code" ]; then
    echo "FAIL: $name (Linux exit $linux_code, Windows exit $windows_code)"
    diff <(echo "$linux_out") <(echo "$windows_out")
    failures=$((failures + 1))
  else
    echo "ok: $name (exit $windows_code)"
  fi
}

wineboot --init >/dev/null 2>&1 || true
check "help" -h
check "parse error" -w
check "no operation" 
check "bad hexadecimal" -R 12_34
check "no driver" -R 0
check "no driver, adapter 1" -X 1 -G v
# The user-file service: an image file that is the INI file itself is refused, in any spelling.
cp "$(dirname "$0")/../../examples/board.ini" "$work/board.ini"
check "image over its ini file" -i "$work/board.ini" -o "$work/./board.ini" -d QNT5230
check "offline generation" -i "$work/board.ini" -o "$work/image.bin" -d QNT5230

# qnt5200-image, run in the work directory so that both builds print the same file names.
windows_exe=$(dirname "$windows_exe")/qnt5200-image.exe
image_linux=$(dirname "$linux_binary")/qnt5200-image
cd "$work"
sed 's/^CurrentMacAddress = .*/CurrentMacAddress = 00:11:22:33:44:56/' "$example_ini" >second.ini
"$linux_binary" -i "$example_ini" -o first.bin -d QNT5230 >/dev/null
"$linux_binary" -i second.ini -o second.bin -d QNT5230 >/dev/null
linux_binary=$image_linux
check "image tool help" --help
check "image tool, bad command line" show
check "image tool show" show first.bin
check "image tool diff" diff first.bin second.bin
check "image tool ini" ini second.bin
check "image tool, no image" show second.ini

# qnt5200-record on a record of two runs, one of which died after its reservation.
windows_exe=$(dirname "$windows_exe")/qnt5200-record.exe
linux_binary=$(dirname "$image_linux")/qnt5200-record
printf '%s\n' "time,adapter,chip,memory,mac_address,serial_number,image_length,crc32,file,result" \
  "2026-03-01T08:00:00Z,0,qnt5230,eeprom,00:11:22:33:44:55,0001,302,0,board.ini,0" \
  "2026-03-01T08:05:00Z,0,qnt5230,eeprom,00:11:22:33:44:56,0002,302,0,board.ini,reserved,no,st,0,,2" \
  >boards.csv
check "record tool help" --help
check "record tool summary" summary boards.csv --ini "$work/board.ini"
check "record tool check" check boards.csv --json

passed=$((17 - failures))
echo "$passed passed, $failures failed"
[ "$failures" -eq 0 ]

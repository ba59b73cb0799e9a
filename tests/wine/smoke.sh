#!/usr/bin/env bash
# Runs the Windows build under Wine and compares what it prints, and its exit code, with the
# Linux build's: help, a command-line error, and a machine without the controller's driver.
# Usage: smoke.sh WINDOWS_EXE LINUX_BINARY
set -uo pipefail
windows_exe=$(realpath "$1")
linux_binary=$(realpath "$2")
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
  linux_out=$("$linux_binary" "$@" </dev/null | normalize)
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

passed=$((8 - failures))
echo "$passed passed, $failures failed"
[ "$failures" -eq 0 ]
